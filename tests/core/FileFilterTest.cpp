#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/FileFilter.h"
#include "core/FileSet.h"
#include "front/PathListText.h"

namespace {

TEST(FileFilter, BangTokensLeaveOutAndTheRestAreTheWildcardsToTake) {
  const TFileFilter filter(hovrak::SplitFilterText("*.txt !*.bak.txt \"*.md\" !old/ !/top/ !a/b \"!sp ace\" ! !/"));
  EXPECT_EQ(filter.Includes(), (TStringVector{"*.txt", "*.md"}));
  EXPECT_TRUE(filter.ExcludesFile("x/y.BAK.txt"));
  EXPECT_FALSE(filter.ExcludesFile("x/y.txt"));
  // A trailing "/" for folders only, at any depth; a leading one for the top only.
  EXPECT_TRUE(filter.ExcludesFolder("x/old"));
  EXPECT_FALSE(filter.ExcludesFile("x/old"));
  EXPECT_TRUE(filter.ExcludesFolder("top"));
  EXPECT_FALSE(filter.ExcludesFolder("x/top"));
  // A "/" inside: the path below the searched folder, files and folders.
  EXPECT_TRUE(filter.ExcludesFile("a/b"));
  EXPECT_TRUE(filter.ExcludesFolder("a/b"));
  EXPECT_FALSE(filter.ExcludesFile("x/a/b"));
  EXPECT_TRUE(filter.ExcludesFile("sp ace"));

  // A filter text as it was before: nothing left out; only leaving out takes all.
  EXPECT_FALSE(TFileFilter(hovrak::SplitFilterText("*.txt *.htm")).HasExclusions());
  EXPECT_EQ(TFileFilter(hovrak::SplitFilterText("!*.bak")).Includes(), TStringVector{"*"});
  EXPECT_TRUE(TFileFilter({}).Includes().empty());
}

TEST(FileFilter, TheFolderSearchOfBothFrontEndsLeavesExcludedFoldersUnread) {
  TTempDir dir;
  for (const char* name : {"a.txt", "a.bak.txt", "old/b.txt", "x/old/c.txt", "x/d.txt", ".git/e.txt"})
    WriteWholeFile(dir / name, "t\n");
  TFileSet set;
  std::vector<std::string> listed;
  set.OnProcess = [&listed](TProcessType, const std::string& path, int, int) { listed.push_back(path); };
  set.AddFolder(dir.Path(), hovrak::SplitFilterText("*.txt !*.bak.txt !old/"), true);
  // The window's filter leaves version-control folders in: only the command line
  // adds them.
  EXPECT_EQ(set.Files, (TStringVector{dir / "a.txt", dir / ".git/e.txt", dir / "x/d.txt"}));
  EXPECT_EQ(listed, (std::vector<std::string>{dir.Path(), dir / ".git", dir / "x"}));
}

}  // namespace
