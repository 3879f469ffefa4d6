// The Qt-free parts of the single-instance check: instance name and socket path,
// the side file, the instance lock.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/InstanceLock.h"
#include "platform/InstanceName.h"
#include "platform/SideFile.h"

using hovrak::InstanceName;
using hovrak::InstanceSocketPath;

TEST(InstanceNameTest, CanonicalPathUpperCasedWithSlashes) {
  TTempDir dir;
  WriteWholeFile(dir / "Bin/mirun", "");
  ASSERT_EQ(::symlink((dir / "Bin").c_str(), (dir / "link").c_str()), 0);
  std::string upper = dir.Path() + "/BIN/MIRUN";
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  upper = "Hovrak@" + upper;
  // Through a link and a "." the program file is the same.
  EXPECT_EQ(InstanceName(dir / "link/./mirun"), upper);
  // Non-ASCII bytes stay as they are; a backslash becomes '/'.
  EXPECT_EQ(InstanceName("/nonexistent/ぷろ\\mirun"), "Hovrak@/NONEXISTENT/ぷろ/MIRUN");
}

TEST(InstanceNameTest, SocketPathSeparatesProgramFilesAndSettingsFolders) {
  TTempDir dir;
  WriteWholeFile(dir / "a/mirun", "");
  WriteWholeFile(dir / "A/mirun", "");
  WriteWholeFile(dir / "b/mirun", "");
  const std::string run = dir.Path();
  const std::string a = InstanceSocketPath(dir / "a/mirun", "/s", run, 1000);
  EXPECT_EQ(a.rfind(run + "/mirun-1000-", 0), 0u) << a;
  EXPECT_EQ(a.substr(a.size() - 5), ".sock");
  EXPECT_EQ(a, InstanceSocketPath(dir / "a/../a/mirun", "/s", run, 1000));
  EXPECT_NE(a, InstanceSocketPath(dir / "b/mirun", "/s", run, 1000));
  // Same instance name (case folded), yet two program files on Linux.
  EXPECT_EQ(InstanceName(dir / "a/mirun"), InstanceName(dir / "A/mirun"));
  EXPECT_NE(a, InstanceSocketPath(dir / "A/mirun", "/s", run, 1000));
  // The side file lies in the settings folder: another folder, another instance.
  EXPECT_NE(a, InstanceSocketPath(dir / "a/mirun", "/t", run, 1000));
  EXPECT_NE(a, InstanceSocketPath(dir / "a/mirun", "/s", run, 1001));
  // Too long for a local socket: /tmp instead.
  const std::string deep = "/" + std::string(200, 'x');
  EXPECT_EQ(InstanceSocketPath(dir / "a/mirun", "/s", deep, 1000).rfind("/tmp/mirun-1000-", 0), 0u);
  // A socket path holds at most 107 bytes and its NUL: 108 bytes is one too many.
  // ("/" and 73 or 74 letters, then "/mirun-1000-", 16 hex digits and ".sock")
  const std::string fits = "/" + std::string(73, 'r');
  EXPECT_EQ(InstanceSocketPath(dir / "a/mirun", "/s", fits, 1000).size(), 107u);
  EXPECT_EQ(InstanceSocketPath(dir / "a/mirun", "/s", fits, 1000).rfind(fits + "/", 0), 0u);
  EXPECT_EQ(InstanceSocketPath(dir / "a/mirun", "/s", fits + "r", 1000).rfind("/tmp/mirun-1000-", 0), 0u);
}

TEST(InstanceNameTest, RuntimeFolderPrefersTheUsersOwn) {
  TTempDir dir;
  EXPECT_EQ(hovrak::InstanceRuntimeFolder((dir.Path() + "/").c_str(), "/tmp"), dir.Path());
  EXPECT_EQ(hovrak::InstanceRuntimeFolder("relative", dir.Path().c_str()), dir.Path());
  EXPECT_EQ(hovrak::InstanceRuntimeFolder((dir / "missing").c_str(), nullptr), "/tmp");
}

TEST(SideFileTest, OneArgumentPerLineAndLineBreaksSplit) {
  TTempDir dir;
  const std::string path = dir / "mirun.cmdparam";
  ASSERT_TRUE(hovrak::WriteSideFile(path, {"-s", "東京", "", "two\nlines", "crlf\r\nend", "-n"}));
  EXPECT_EQ(ReadWholeFile(path), "-s\n東京\n\ntwo\nlines\ncrlf\r\nend\n-n\n");
  EXPECT_EQ(hovrak::ReadSideFile(path),
            (std::vector<std::string>{"-s", "東京", "", "two", "lines", "crlf", "end", "-n"}));
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Overwritten whole by the next hand-over; no arguments leave it empty.
  ASSERT_TRUE(hovrak::WriteSideFile(path, {}));
  EXPECT_TRUE(hovrak::ReadSideFile(path).empty());
  // A last line without LF still counts; a missing file gives nothing.
  WriteWholeFile(path, "a\nb");
  EXPECT_EQ(hovrak::ReadSideFile(path), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(hovrak::ReadSideFile(dir / "missing").empty());
  EXPECT_FALSE(hovrak::WriteSideFile(dir / "missing/x.cmdparam", {"a"}));
}

TEST(InstanceLockTest, OneHolderUntilReleased) {
  TTempDir dir;
  const std::string path = dir / "x.sock.lock";
  hovrak::TInstanceLock first;
  ASSERT_TRUE(first.TryAcquire(path));
  EXPECT_TRUE(first.Held());
  {
    hovrak::TInstanceLock second;
    EXPECT_FALSE(second.TryAcquire(path));
    EXPECT_FALSE(second.Held());
  }
  first.Release();
  hovrak::TInstanceLock third;
  EXPECT_TRUE(third.TryAcquire(path));
  // No lock file can be made: nobody else can hold it either.
  hovrak::TInstanceLock nowhere;
  EXPECT_TRUE(nowhere.TryAcquire(dir / "missing/x.lock"));
  EXPECT_FALSE(nowhere.Held());
}
