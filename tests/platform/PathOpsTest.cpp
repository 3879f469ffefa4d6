#include <gtest/gtest.h>

#include "platform/PathOps.h"

using hovrak::FolderOf;
using hovrak::FolderPartOf;
using hovrak::NameOf;

TEST(PathOps, FolderAndNameOfAPath) {
  EXPECT_EQ(FolderOf("/home/taro/メモ.txt"), "/home/taro");
  EXPECT_EQ(NameOf("/home/taro/メモ.txt"), "メモ.txt");
  EXPECT_EQ(FolderOf("docs/a.txt"), "docs");
  // A bare name is in the current folder, which can be opened as ".".
  EXPECT_EQ(FolderOf("a.txt"), ".");
  EXPECT_EQ(NameOf("a.txt"), "a.txt");
  // An entry of the root.
  EXPECT_EQ(FolderOf("/a.txt"), "/");
  EXPECT_EQ(NameOf("/a.txt"), "a.txt");
  EXPECT_EQ(FolderOf("/"), "/");
  // A final slash names no entry: the name is empty and the folder is what it ends.
  EXPECT_EQ(FolderOf("docs/sub/"), "docs/sub");
  EXPECT_EQ(NameOf("docs/sub/"), "");
}

TEST(PathOps, FolderPartOfARelativePathIsEmptyForABareName) {
  EXPECT_EQ(FolderPartOf("sub/dir/a.txt"), "sub/dir");
  EXPECT_EQ(FolderPartOf("a.txt"), "");
  EXPECT_EQ(FolderPartOf(""), "");
}
