#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TestSupport.h"
#include "platform/CopyFile.h"

using hovrak::CopyFile;

TEST(CopyFile, OverwritesAndKeepsTimeAndMode) {
  TTempDir dir;
  const std::string source = dir / "source";
  const std::string target = dir / "target";
  std::string bytes(200000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteWholeFile(source, bytes);
  ASSERT_EQ(chmod(source.c_str(), 0604), 0);
  const timespec times[2] = {{1000000000, 5}, {1200000000, 999999999}};
  ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
  WriteWholeFile(target, "an older and longer file than the new one will be? no, but different");

  ASSERT_TRUE(CopyFile(source, target));
  EXPECT_EQ(ReadWholeFile(target), bytes);
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 999999999);
}

TEST(CopyFile, ReplacesALinkAtTheTargetInsteadOfWritingThroughIt) {
  TTempDir dir;
  WriteWholeFile(dir / "source", "new");
  WriteWholeFile(dir / "elsewhere", "keep");
  ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "target").c_str()), 0);
  ASSERT_TRUE(CopyFile(dir / "source", dir / "target"));
  EXPECT_EQ(ReadWholeFile(dir / "elsewhere"), "keep");
  EXPECT_EQ(ReadWholeFile(dir / "target"), "new");
}

TEST(CopyFile, FailuresLeaveNothingBehind) {
  TTempDir dir;
  ASSERT_EQ(mkdir((dir / "out").c_str(), 0755), 0);
  EXPECT_FALSE(CopyFile(dir / "missing", dir / "out/a"));
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
  EXPECT_FALSE(CopyFile(dir / "fifo", dir / "out/b"));  // refused, not waited on
  EXPECT_FALSE(CopyFile(dir.Path(), dir / "out/c"));
  WriteWholeFile(dir / "source", "x");
  EXPECT_FALSE(CopyFile(dir / "source", dir / "no-such-folder/d"));
  EXPECT_FALSE(CopyFile(dir / "source", dir / "out"));  // a folder is not overwritten
  EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
}
