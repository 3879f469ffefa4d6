// A save stopped at any step leaves the file whole, or a complete copy of its old
// bytes beside it; a save never replaces a file someone else wrote meanwhile; the
// special mode bits stay.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/FileIdentity.h"
#include "platform/FileLock.h"
#include "platform/SafeSave.h"

namespace {

int gStopAt = 0;
int gSteps = 0;

int KillAtStep(const char*) {
  if (++gSteps == gStopAt) ::kill(::getpid(), SIGKILL);
  return 0;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  }
  return names;
}

}  // namespace

TEST(SafeSaveSteps, AHardLinkedFileIsNeverTornWhereverTheProcessDies) {
  const std::string oldBytes(10000, 'o');
  const std::string newBytes(7000, 'n');
  for (gStopAt = 1;; ++gStopAt) {
    TTempDir dir;
    WriteWholeFile(dir / "a.txt", oldBytes);
    ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "other-name.txt").c_str()), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gSteps = 0;
      hovrak::SetSafeSaveTestHook(KillAtStep, 1000);
      ::_exit(hovrak::SafeWriteFile(dir / "a.txt", newBytes) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string now = ReadWholeFile(dir / "a.txt");
    EXPECT_EQ(ReadWholeFile(dir / "other-name.txt"), now) << "both names share the file";
    if (WIFEXITED(status)) {
      // Every step passed: the save is done and nothing is left over.
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(now, newBytes);
      EXPECT_EQ(Names(dir.Path()).size(), 2u);
      EXPECT_GT(gStopAt, 5);
      break;
    }
    if (now == oldBytes || now == newBytes) continue;
    // Torn: then the old bytes must lie whole in the copy beside it.
    bool kept = false;
    for (const std::string& name : Names(dir.Path())) {
      if (name.find(".mirun-old-") != std::string::npos) kept = kept || ReadWholeFile(dir / name) == oldBytes;
    }
    EXPECT_TRUE(kept) << "stopped at step " << gStopAt << " with neither version and no copy";
  }
}

TEST(SafeSaveSteps, AFileChangedSinceItWasReadIsNotReplaced) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "first");
  hovrak::TSafeWriteOptions options;
  options.Expected = hovrak::TFileIdentity::OfPath(dir / "a.txt");
  ASSERT_TRUE(options.Expected.Known());
  WriteWholeFile(dir / "a.txt", "other");  // another writer, same size
  EXPECT_EQ(hovrak::SafeWriteFile(dir / "a.txt", "mine!", options), ESTALE);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "other");
  EXPECT_EQ(Names(dir.Path()).size(), 1u);
  options.Expected = hovrak::TFileIdentity::OfPath(dir / "a.txt");
  EXPECT_EQ(hovrak::SafeWriteFile(dir / "a.txt", "mine!", options), 0);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "mine!");
}

TEST(SafeSaveSteps, SetIdAndStickyBitsAreKept) {
  TTempDir dir;
  WriteWholeFile(dir / "tool", "#!/bin/sh\n");
  // Only root may set the set-group-id and sticky bits on a file it may not own.
  const mode_t mode = ::geteuid() == 0 ? 07755 : 04755;
  ASSERT_EQ(::chmod((dir / "tool").c_str(), mode), 0);
  ASSERT_EQ(hovrak::SafeWriteFile(dir / "tool", "#!/bin/sh\nexit 0\n"), 0);
  struct stat st;
  ASSERT_EQ(::stat((dir / "tool").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, mode);
}

TEST(FileLock, ASecondProcessWaitsAndFollowsTheRenamedFile) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "0");
  hovrak::TFileLock lock;
  ASSERT_EQ(lock.Acquire(dir / "a.txt"), 0);
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    lock.Release();  // the parent's lock came along with fork; only the parent holds it
    hovrak::TFileLock mine;
    int waits = 0;
    const int err = mine.Acquire(dir / "a.txt", [&] { ++waits; });
    // Holding the lock, it sees what the first process wrote.
    const std::string seen = ReadWholeFile(dir / "a.txt");
    const std::string report = std::to_string(err) + " " + std::to_string(waits > 0) + " " + seen;
    (void)!::write(pipeFds[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  ::usleep(200 * 1000);
  // A save by rename puts a new file under the name while the old one is locked.
  ASSERT_EQ(hovrak::SafeWriteFile(dir / "a.txt", "1"), 0);
  lock.Release();
  char buffer[64] = {};
  const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer - 1);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), "0 1 1");
}
