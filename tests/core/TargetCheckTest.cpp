#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/TargetCheck.h"

using hovrak::CheckTargets;

TEST(TargetCheckTest, RowsForNoPathAndForAFolderAmongSeveral) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "a");
  WriteWholeFile(dir / "b.txt", "b");
  WriteWholeFile(dir / "sub folder/c.txt", "c");

  EXPECT_EQ(CheckTargets({}), 54);
  EXPECT_EQ(CheckTargets({dir / "a.txt"}), 0);
  EXPECT_EQ(CheckTargets({dir / "a.txt", dir / "b.txt"}), 0);
  EXPECT_EQ(CheckTargets({dir / "sub folder"}), 0);
  EXPECT_EQ(CheckTargets({dir / "a.txt", dir / "sub folder"}), 55);
  EXPECT_EQ(CheckTargets({dir / "sub folder", dir / "a.txt"}), 55);
  // Missing paths are left to the search.
  EXPECT_EQ(CheckTargets({dir / "missing", dir / "gone"}), 0);
}
