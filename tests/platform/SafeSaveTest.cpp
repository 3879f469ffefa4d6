#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "platform/SafeSave.h"

namespace fs = std::filesystem;
using hovrak::SafeWriteFile;

namespace {

std::size_t EntryCount(const std::string& dir) {
  std::size_t n = 0;
  for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++n;
  return n;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

ino_t InodeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_ino;
}

// Runs the body in a child process whose files may not grow beyond limit bytes and
// returns the errno value the body returned there.
int WithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // get EFBIG instead of being killed
    const struct rlimit rl = {limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(255);
    ::_exit(body() & 0xFF);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SafeSave, CreatesAndReplacesFilesLeavingNoTemporaryFile) {
  TTempDir dir;
  const std::string path = dir / "new.txt";
  ASSERT_EQ(SafeWriteFile(path, "first"), 0);
  EXPECT_EQ(ReadWholeFile(path), "first");
  const mode_t mask = ::umask(022);
  ::umask(mask);
  EXPECT_EQ(ModeOf(path), 0666 & ~mask);

  ASSERT_EQ(SafeWriteFile(path, std::string("second\0with NUL", 15)), 0);
  EXPECT_EQ(ReadWholeFile(path), std::string("second\0with NUL", 15));
  ASSERT_EQ(SafeWriteFile(path, ""), 0);
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(SafeSave, KeepsPermissionBits) {
  TTempDir dir;
  for (const mode_t mode : {0640, 0604, 0755, 0200}) {
    const std::string path = dir / "file.sh";
    WriteWholeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_EQ(SafeWriteFile(path, "new contents"), 0) << std::oct << mode;
    EXPECT_EQ(ModeOf(path), mode);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(ReadWholeFile(path), "new contents");
  }
  if (::geteuid() == 0) {
    // Root may keep another user's ownership on the replaced file.
    const std::string path = dir / "owned.txt";
    WriteWholeFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(SafeWriteFile(path, "new"), 0);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
}

TEST(SafeSave, FollowsSymbolicLinksAndReplacesTheTarget) {
  TTempDir dir;
  WriteWholeFile(dir / "real/target.txt", "old");
  ASSERT_EQ(::symlink("real/target.txt", (dir / "hop").c_str()), 0);
  ASSERT_EQ(::symlink("hop", (dir / "link").c_str()), 0);
  ASSERT_EQ(SafeWriteFile(dir / "link", "new"), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_TRUE(fs::is_symlink(dir / "hop"));
  EXPECT_EQ(ReadWholeFile(dir / "real/target.txt"), "new");
  EXPECT_EQ(EntryCount(dir / "real"), 1u);

  // A dangling link gets its target created.
  ASSERT_EQ(::symlink("real/created.txt", (dir / "dangling").c_str()), 0);
  ASSERT_EQ(SafeWriteFile(dir / "dangling", "made"), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
  EXPECT_EQ(ReadWholeFile(dir / "real/created.txt"), "made");

  // A link cycle fails without writing anything.
  ASSERT_EQ(::symlink("loop", (dir / "loop").c_str()), 0);
  EXPECT_EQ(SafeWriteFile(dir / "loop", "x"), ELOOP);
}

TEST(SafeSave, RefusesReadOnlyFilesFoldersAndSpecialFiles) {
  TTempDir dir;
  const std::string path = dir / "ro.txt";
  WriteWholeFile(path, "keep");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  // Refused by the mode bits even when the tests run as root.
  EXPECT_EQ(SafeWriteFile(path, "lost"), EACCES);
  EXPECT_EQ(ReadWholeFile(path), "keep");
  EXPECT_EQ(ModeOf(path), 0444);

  EXPECT_EQ(SafeWriteFile(dir.Path(), "x"), EISDIR);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
  EXPECT_EQ(SafeWriteFile(dir / "fifo", "x"), EINVAL);  // must not block
  EXPECT_EQ(SafeWriteFile(dir / "missing/folder/file", "x"), ENOENT);
  EXPECT_EQ(SafeWriteFile("", "x"), ENOENT);
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(SafeSave, HardLinkedFileIsRewrittenInPlace) {
  TTempDir dir;
  const std::string path = dir / "a.txt";
  WriteWholeFile(path, "a somewhat longer original text");
  ASSERT_EQ(::link(path.c_str(), (dir / "b.txt").c_str()), 0);
  const ino_t inode = InodeOf(path);

  ASSERT_EQ(SafeWriteFile(path, "short"), 0);
  EXPECT_EQ(InodeOf(path), inode);
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "short");
  ASSERT_EQ(SafeWriteFile(dir / "b.txt", "grown to a longer text than before"), 0);
  EXPECT_EQ(ReadWholeFile(path), "grown to a longer text than before");
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(SafeSave, FailedWriteKeepsTheOldBytes) {
  TTempDir dir;
  const std::string path = dir / "data.txt";
  const std::string original(1000, 'o');
  WriteWholeFile(path, original);
  const std::string bigger(10000, 'n');

  // Replaced through a temporary file: the temporary one hits the limit.
  EXPECT_EQ(WithFileSizeLimit(4096, [&] { return SafeWriteFile(path, bigger); }), EFBIG);
  EXPECT_EQ(ReadWholeFile(path), original);
  EXPECT_EQ(EntryCount(dir.Path()), 1u);

  // A new file that cannot be written completely does not appear at all.
  EXPECT_EQ(WithFileSizeLimit(4096, [&] { return SafeWriteFile(dir / "new.txt", bigger); }), EFBIG);
  EXPECT_FALSE(fs::exists(dir / "new.txt"));
  EXPECT_EQ(EntryCount(dir.Path()), 1u);

  // Rewritten in place (hard link): the reservation fails before any byte changes.
  ASSERT_EQ(::link(path.c_str(), (dir / "other.txt").c_str()), 0);
  EXPECT_EQ(WithFileSizeLimit(4096, [&] { return SafeWriteFile(path, bigger); }), EFBIG);
  EXPECT_EQ(ReadWholeFile(path), original);
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(SafeSave, WritesInPlaceWhereNoTemporaryFileCanBeMade) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may create files in a read-only folder";
  TTempDir dir;
  const std::string sub = dir / "locked";
  WriteWholeFile(sub + "/f.txt", "old contents");
  ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
  EXPECT_EQ(SafeWriteFile(sub + "/f.txt", "new"), 0);
  EXPECT_EQ(ReadWholeFile(sub + "/f.txt"), "new");
  EXPECT_EQ(SafeWriteFile(sub + "/g.txt", "new"), EACCES);
  EXPECT_EQ(EntryCount(sub), 1u);
}
