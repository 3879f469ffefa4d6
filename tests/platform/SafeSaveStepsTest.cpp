// A save stopped at any step leaves the file whole, or a complete copy of its old
// bytes beside it that the next start puts back; a save never replaces a file
// someone else wrote meanwhile, nor touches the name after its switch; a failed
// in-place write puts every old byte back; the special mode bits stay.
#include <gtest/gtest.h>

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
#include "platform/FolderHandle.h"
#include "platform/SafeSave.h"
#include "platform/SaveJournal.h"

namespace {

// What a hook does at one step: the step's name and what to do there.
const char* gActAt = nullptr;
int gActCount = 0;
void (*gAction)() = nullptr;
int gFail = 0;

int ActAtStep(const char* step) {
  if (gActAt && std::strcmp(step, gActAt) == 0 && --gActCount == 0) {
    if (gAction) gAction();
    return gFail;
  }
  return 0;
}

// Resets the hook when a test ends, also a failed one.
struct THook {
  THook(const char* step, int count, void (*action)(), int fail = 0, std::size_t chunk = 0) {
    gActAt = step;
    gActCount = count;
    gAction = action;
    gFail = fail;
    hovrak::SetSafeSaveTestHook(ActAtStep, chunk);
  }
  ~THook() { hovrak::SetSafeSaveTestHook(nullptr); }
};

std::string gTarget, gOther;

}  // namespace

// Killed at every step of a rewrite in place (hard links) or by rename: the file is
// whole, or the next start's tidying puts its old bytes back and says so; no copy or
// temporary file outlives that tidying.
TEST(SafeSaveSteps, AKilledSaveIsPutRightByTheNextStartWhereverTheProcessDies) {
  const std::string oldBytes(10000, 'o');
  const std::string newBytes(7000, 'n');
  for (const bool linked : {true, false}) {
    for (gKillAtStep = 1;; ++gKillAtStep) {
      TTempDir dir, journal;
      WriteWholeFile(dir / "a.txt", oldBytes);
      if (linked) {
        ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "other-name.txt").c_str()), 0);
      }
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        gStepsTaken = 0;
        hovrak::SetSaveJournalFolder(journal.Path());
        hovrak::SetSafeSaveTestHook(KillAtStep, 1000);
        ::_exit(hovrak::SafeWriteFile(dir / "a.txt", newBytes) == 0 ? 0 : 1);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      const std::string now = ReadWholeFile(dir / "a.txt");
      if (linked) {
        EXPECT_EQ(ReadWholeFile(dir / "other-name.txt"), now) << "both names share the file";
      }
      const bool torn = now != oldBytes && now != newBytes;
      EXPECT_FALSE(torn && !linked) << "a save by rename is never torn";

      const std::vector<hovrak::TRecoveredSave> recovered = hovrak::RecoverSaveJournals(journal.Path());
      const std::string after = ReadWholeFile(dir / "a.txt");
      EXPECT_TRUE(after == (torn ? oldBytes : now)) << "step " << gKillAtStep;
      ASSERT_EQ(recovered.size(), torn ? 1u : 0u) << "step " << gKillAtStep;
      if (torn) {
        EXPECT_EQ(recovered[0].Kind, hovrak::TRecoveredSave::TKind::Repaired);
        EXPECT_EQ(recovered[0].Path, dir / "a.txt");
      }
      EXPECT_EQ(FolderNames(dir.Path()).size(), linked ? 2u : 1u) << "step " << gKillAtStep << ": a leftover stays";
      EXPECT_TRUE(FolderNames(journal.Path()).empty()) << "the journal of an ended process goes";
      if (WIFEXITED(status)) {
        // Every step passed: the save is done.
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(after, newBytes);
        EXPECT_GT(gKillAtStep, linked ? 5 : 1);
        break;
      }
    }
  }
}

// The journal of a process still running is its own: its temporary files stay.
TEST(SaveJournal, TheJournalOfARunningProcessIsLeftAlone) {
  TTempDir dir, journal;
  hovrak::SetSaveJournalFolder(journal.Path());
  hovrak::TFolderHandle folder;
  ASSERT_EQ(folder.Open(dir.Path()), 0);
  std::string temp;
  const int fd = folder.CreateTemp(".a.txt.", temp);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(hovrak::RecoverSaveJournals(journal.Path()).empty());
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{temp});
  EXPECT_EQ(FolderNames(journal.Path()).size(), 1u);
  folder.RemoveTemp(temp);
  hovrak::SetSaveJournalFolder(std::string());
  EXPECT_TRUE(FolderNames(journal.Path()).empty()) << "nothing open: no journal stays";
  // What the journal records means the same to a process started elsewhere.
  hovrak::TFolderHandle here;
  ASSERT_EQ(here.Open("."), 0);
  EXPECT_EQ(here.Path().front(), '/');
}

// Another writer right before the switch: its bytes stay, the save fails.
TEST(SafeSaveSteps, AFileWrittenRightBeforeTheSwitchIsNotReplaced) {
  TTempDir dir;
  gTarget = dir / "a.txt";
  WriteWholeFile(gTarget, "first");
  hovrak::TSafeWriteOptions options;
  options.Expected = hovrak::TFileIdentity::OfPath(gTarget);
  const THook hook("done", 1, [] { WriteWholeFile(gTarget, "other"); });
  EXPECT_EQ(hovrak::SafeWriteFile(gTarget, "mine!", options), ESTALE);
  EXPECT_EQ(ReadWholeFile(gTarget), "other");
  EXPECT_EQ(FolderNames(dir.Path()).size(), 1u);
}

// A write that fails half-way through an in-place rewrite: every old byte is back,
// not just the old length, and the copy is gone.
TEST(SafeSaveSteps, AFailedInPlaceWritePutsTheOldBytesBack) {
  TTempDir dir;
  const std::string oldBytes = std::string(3000, 'o') + "end";
  WriteWholeFile(dir / "a.txt", oldBytes);
  ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "b.txt").c_str()), 0);
  const THook hook("write", 2, nullptr, EIO, 1000);
  std::string rescue;
  hovrak::TSafeWriteOptions options;
  options.RescuePath = &rescue;
  EXPECT_EQ(hovrak::SafeWriteFile(dir / "a.txt", std::string(5000, 'n'), options), EIO);
  EXPECT_TRUE(ReadWholeFile(dir / "b.txt") == oldBytes);
  EXPECT_TRUE(rescue.empty());
  EXPECT_EQ(FolderNames(dir.Path()).size(), 2u);
}

// After the switch nothing goes by the name: a link swapped in at once leads nowhere
// the save writes, and mode and times are those asked for, on the new file.
TEST(SafeSaveSteps, NothingAfterTheSwitchGoesByTheName) {
  TTempDir dir;
  gTarget = dir / "a.txt";
  gOther = dir / "victim";
  WriteWholeFile(gTarget, "old");
  WriteWholeFile(gOther, "victim");
  ASSERT_EQ(::chmod(gOther.c_str(), 0640), 0);
  const hovrak::TFileIdentity victim = hovrak::TFileIdentity::OfPath(gOther);
  const THook hook("renamed", 1, [] {
    ::rename(gTarget.c_str(), (gTarget + ".moved").c_str());
    ::symlink(gOther.c_str(), gTarget.c_str());
  });
  hovrak::TFileIdentity written;
  hovrak::TSafeWriteOptions options;
  options.Mode = 0604;
  const timespec times[2] = {{1000000000, 5}, {1100000000, 123456789}};
  options.Times = times;
  options.Written = &written;
  ASSERT_EQ(hovrak::SafeWriteFile(gTarget, "new", options), 0);
  EXPECT_EQ(hovrak::TFileIdentity::OfPath(gOther), victim);
  EXPECT_EQ(ReadWholeFile(gOther), "victim");
  struct stat st;
  ASSERT_EQ(::stat((gTarget + ".moved").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(written, hovrak::TFileIdentity::FromStat(st));
}

// An entry that is a link is written only when the caller says to replace the link;
// then the link gives way to the file and what it pointed to stays as it was.
TEST(SafeSaveSteps, ALinkAtTheEntryIsReplacedOnlyWhenAskedAndNeverFollowed) {
  TTempDir dir;
  WriteWholeFile(dir / "victim", "victim");
  ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "a.txt").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "b.txt").c_str()), 0);
  hovrak::TFolderHandle folder;
  ASSERT_EQ(folder.Open(dir.Path()), 0);
  EXPECT_EQ(hovrak::SafeWriteAt(folder, "a.txt", "new", 3), ELOOP);
  hovrak::TSafeWriteOptions options;
  options.ReplaceLink = true;
  ASSERT_EQ(hovrak::SafeWriteAt(folder, "a.txt", "new", 3, options), 0);
  ASSERT_EQ(hovrak::SafeWriteAt(folder, "b.txt", "made", 4, options), 0);
  EXPECT_EQ(ReadWholeFile(dir / "victim"), "victim");
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new");
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "made");
  EXPECT_EQ(FolderNames(dir.Path()).size(), 3u) << "nothing made where the dangling link pointed";
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
  EXPECT_EQ(FolderNames(dir.Path()).size(), 1u);
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

// The lock follows the file a holder renamed into place: a third run that comes
// after the second got the lock waits too.
TEST(FileLock, TheLockMovesToTheRenamedFileSoAThirdRunWaits) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "0");
  hovrak::TFileLock first;
  ASSERT_EQ(first.Acquire(dir / "a.txt"), 0);
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    first.Release();
    hovrak::TFileLock second;
    second.Acquire(dir / "a.txt");
    (void)!::write(toParent[1], "1", 1);
    char done;
    (void)!::read(toChild[0], &done, 1);  // holds the lock until the parent has tried
    ::_exit(0);
  }
  ::usleep(100 * 1000);
  ASSERT_EQ(hovrak::SafeWriteFile(dir / "a.txt", "1"), 0);
  first.Release();
  char got;
  ASSERT_EQ(::read(toParent[0], &got, 1), 1);
  hovrak::TFileLock third;
  bool waited = false;
  try {
    third.Acquire(dir / "a.txt", [&] { throw 1; });
  } catch (int) {
    waited = true;
  }
  EXPECT_TRUE(waited) << "the second run holds the lock on the file the name leads to now";
  (void)!::write(toChild[1], "x", 1);
  int status = 0;
  ::waitpid(child, &status, 0);
}
