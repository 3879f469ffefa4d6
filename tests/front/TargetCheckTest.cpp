#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "TestSupport.h"
#include "front/SystemErrorText.h"
#include "front/TargetCheck.h"

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

TEST(TargetCheckTest, AMissingOnlyTargetIsToldWithTheSystemsReason) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "a");
  EXPECT_EQ(hovrak::MissingTargetText({dir / "a.txt"}), "");
  EXPECT_EQ(hovrak::MissingTargetText({dir.Path()}), "");
  EXPECT_EQ(hovrak::MissingTargetText({dir / "no such folder"}), "以下のファイル/フォルダが見つかりません。\n" +
                                                                     dir / "no such folder" + "\n（" +
                                                                     hovrak::SystemErrorText(ENOENT) + "）");
  // Below a file: the system says why.
  EXPECT_NE(hovrak::MissingTargetText({dir / "a.txt/sub"}).find(hovrak::SystemErrorText(ENOTDIR)), std::string::npos);
  // Several targets are asked about one by one during the search.
  EXPECT_EQ(hovrak::MissingTargetText({dir / "gone", dir / "a.txt"}), "");
}
