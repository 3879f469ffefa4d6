#include <gtest/gtest.h>

#include "TestSupport.h"
#include "front/DisplayBase.h"

using hovrak::DisplayBase;
using hovrak::ShortenPath;

TEST(DisplayBaseTest, FilesShareTheirCommonFolder) {
  EXPECT_EQ(DisplayBase({}), "");
  // The common prefix "/w/src/a" is cut back to its folder.
  EXPECT_EQ(DisplayBase({"/w/src/a1.txt", "/w/src/a2.txt"}), "/w/src");
  // A prefix that ends with the delimiter loses it.
  EXPECT_EQ(DisplayBase({"/w/src/a.txt", "/w/src/b.txt"}), "/w/src");
  EXPECT_EQ(DisplayBase({"/w/src/a.txt"}), "/w/src");
  EXPECT_EQ(DisplayBase({"/w/src/x/a.txt", "/w/src/y/b.txt"}), "/w/src");
  // Byte-wise and case-sensitive.
  EXPECT_EQ(DisplayBase({"/w/Src/a.txt", "/w/src/b.txt"}), "/w");
  EXPECT_EQ(DisplayBase({"a.txt", "b.txt"}), "");
  EXPECT_EQ(DisplayBase({"/a.txt", "/b.txt"}), "");
}

TEST(DisplayBaseTest, AnExistingFolderIsItsOwnBase) {
  TTempDir dir;
  WriteWholeFile(dir / "sub/a.txt", "x");
  EXPECT_EQ(DisplayBase({dir / "sub"}), dir / "sub");
  EXPECT_EQ(DisplayBase({dir / "sub/"}), dir / "sub/");
  // Only the first path decides; a missing folder name is treated as a file.
  EXPECT_EQ(DisplayBase({dir / "missing"}), dir.Path());
}

TEST(DisplayBaseTest, ShortenPathCutsTheBaseWithoutComparing) {
  EXPECT_EQ(ShortenPath("/w/src/a.txt", ""), "/w/src/a.txt");
  EXPECT_EQ(ShortenPath("/w/src/a.txt", "/w/src"), "a.txt");
  EXPECT_EQ(ShortenPath("/w/src/a.txt", "/w/src/"), "a.txt");
  EXPECT_EQ(ShortenPath("/w/src/x/a.txt", "/w/src"), "x/a.txt");
  // Shorter than the base with its delimiter: shown whole.
  EXPECT_EQ(ShortenPath("/w/src", "/w/src"), "/w/src");
  EXPECT_EQ(ShortenPath("/w/sr", "/w/src"), "/w/sr");
  EXPECT_EQ(ShortenPath("/w/src/", "/w/src"), "");
  // The leading bytes are not compared.
  EXPECT_EQ(ShortenPath("/w/srcX", "/w/src"), "");
  EXPECT_EQ(ShortenPath("/other/b.txt", "/w/src"), "b.txt");
}
