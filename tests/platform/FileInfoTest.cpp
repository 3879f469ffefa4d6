#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "platform/DirReader.h"
#include "platform/FileInfo.h"

using boost::posix_time::ptime;
using boost::posix_time::time_from_string;
using hovrak::TDirEntryKind;

namespace {

std::map<std::string, TDirEntryKind> ReadKinds(const std::string& folder) {
  std::map<std::string, TDirEntryKind> kinds;
  hovrak::TDirReader reader(folder);
  while (reader.Next()) kinds[reader.Name()] = reader.Kind();
  return kinds;
}

void SetModified(const std::string& path, time_t seconds, long nanoseconds) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

}  // namespace

TEST(DirReader, TellsFilesFoldersAndOtherEntries) {
  TTempDir dir;
  WriteWholeFile(dir / "file", "x");
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("file", (dir / "link-to-file").c_str()), 0);
  ASSERT_EQ(symlink("folder", (dir / "link-to-folder").c_str()), 0);
  ASSERT_EQ(symlink("missing", (dir / "broken-link").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
  const auto kinds = ReadKinds(dir.Path());
  const std::map<std::string, TDirEntryKind> expected = {
      {"file", TDirEntryKind::File},         {"folder", TDirEntryKind::Folder},
      {"link-to-file", TDirEntryKind::File}, {"link-to-folder", TDirEntryKind::Other},
      {"broken-link", TDirEntryKind::Other}, {"fifo", TDirEntryKind::Other}};
  EXPECT_EQ(kinds, expected);  // "." and ".." are never reported
}

TEST(DirReader, MissingFolderOrFileReadsAsEmpty) {
  TTempDir dir;
  WriteWholeFile(dir / "file", "x");
  for (const std::string& path : {dir / "missing", dir / "file", std::string("")}) {
    hovrak::TDirReader reader(path);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Next());
  }
  hovrak::TDirReader cut(dir.Path() + std::string("\0/x", 3));
  EXPECT_FALSE(cut.IsOpen());
}

TEST(FileInfo, PathKindFollowsLinksNamedDirectly) {
  TTempDir dir;
  WriteWholeFile(dir / "file", "x");
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("folder", (dir / "link").c_str()), 0);
  EXPECT_EQ(hovrak::PathKind(dir / "missing"), 0);
  EXPECT_EQ(hovrak::PathKind(""), 0);
  EXPECT_EQ(hovrak::PathKind(dir / "file"), 1);
  EXPECT_EQ(hovrak::PathKind(dir / "folder"), 2);
  EXPECT_EQ(hovrak::PathKind(dir / "link"), 2);
  // A NUL byte must not cut the path short to the folder before it.
  EXPECT_EQ(hovrak::PathKind(dir.Path() + std::string("\0x", 2)), 0);
}

TEST(FileInfo, LastWriteTimeIsUtcTruncatedToMilliseconds) {
  TTempDir dir;
  const std::string path = dir / "file";
  WriteWholeFile(path, "x");
  SetModified(path, 1700000000, 123987654);  // 2023-11-14 22:13:20.123987654 UTC
  EXPECT_EQ(hovrak::LastWriteTime(path), time_from_string("2023-11-14 22:13:20.123"));
  EXPECT_TRUE(hovrak::LastWriteTime(dir / "missing").is_not_a_date_time());
}

TEST(FileInfo, TimesBeforeEpochAndOutOfRange) {
  EXPECT_EQ(hovrak::TimeFromUnix(0, 999999), time_from_string("1970-01-01 00:00:00"));
  EXPECT_EQ(hovrak::TimeFromUnix(-1, 500000000), time_from_string("1969-12-31 23:59:59.500"));
  EXPECT_EQ(hovrak::TimeFromUnix(253402300799LL, 999999999), time_from_string("9999-12-31 23:59:59.999"));
  EXPECT_TRUE(hovrak::TimeFromUnix(253402300800LL, 0).is_not_a_date_time());
  EXPECT_TRUE(hovrak::TimeFromUnix(-30000000000LL, 0).is_not_a_date_time());
  EXPECT_TRUE(hovrak::TimeFromUnix(0, -1).is_not_a_date_time());
}
