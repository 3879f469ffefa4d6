// Saves staged in a group switch no name before the group is committed, and then all
// of them, each checked again right before its switch; a save refused or changed under
// the group leaves the others right; a kill anywhere leaves each file old or new.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/ContentHash.h"
#include "platform/FileIdentity.h"
#include "platform/SafeSave.h"
#include "platform/SaveGroup.h"
#include "platform/SaveJournal.h"

namespace {

hovrak::TFileIdentity IdentityOf(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? hovrak::TFileIdentity::FromStat(st) : hovrak::TFileIdentity();
}

int Stage(hovrak::TSaveGroup& group, const std::string& path, const std::string& bytes) {
  hovrak::TSafeWriteOptions options;
  options.Group = &group;
  options.Expected = IdentityOf(path);
  return hovrak::SafeWriteFile(path, bytes, options);
}

}  // namespace

TEST(SaveGroup, NamesSwitchOnlyAtTheCommitAndAChangeMeanwhileIsRefusedAlone) {
  TTempDir dir;
  const std::vector<std::string> names = {"a.txt", "b.txt", "c.txt", "linked.txt"};
  for (const std::string& name : names) WriteWholeFile(dir / name, "old " + name);
  ASSERT_EQ(::chmod((dir / "b.txt").c_str(), 0640), 0);
  ASSERT_EQ(::link((dir / "linked.txt").c_str(), (dir / "other.txt").c_str()), 0);
  WriteWholeFile(dir / "ro.txt", "old");
  ASSERT_EQ(::chmod((dir / "ro.txt").c_str(), 0444), 0);

  hovrak::TSaveGroup group;
  for (const std::string& name : names) ASSERT_EQ(Stage(group, dir / name, "new " + name), 0) << name;
  // A file that cannot be written is refused at once and does not join the group.
  EXPECT_EQ(Stage(group, dir / "ro.txt", "new"), EACCES);
  EXPECT_EQ(group.Count(), names.size());
  EXPECT_FALSE(group.Full());
  // Nothing switched yet; the hard-linked file is rewritten in place at once.
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) EXPECT_EQ(ReadWholeFile(dir / name), std::string("old ") + name);
  EXPECT_EQ(ReadWholeFile(dir / "other.txt"), "new linked.txt");
  // Someone else writes b meanwhile: b is not replaced, the others are.
  WriteWholeFile(dir / "b.txt", "someone else's");

  const std::vector<hovrak::TSaveGroup::TResult> results = group.Commit();
  ASSERT_EQ(results.size(), names.size());
  EXPECT_EQ(results[1].Error, ESTALE);
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "someone else's");
  for (std::size_t i : {0u, 2u, 3u}) {
    const std::string path = dir / names[i];
    EXPECT_EQ(results[i].Error, 0) << names[i];
    EXPECT_EQ(ReadWholeFile(path), "new " + names[i]);
    EXPECT_TRUE(results[i].Written == IdentityOf(path)) << names[i];
    EXPECT_EQ(results[i].Hash, hovrak::TContentHash::Of("new " + names[i])) << names[i];
  }
  EXPECT_EQ(ReadWholeFile(dir / "ro.txt"), "old");
  // No temporary file stays behind, and the group is empty again.
  EXPECT_EQ(FolderNames(dir.Path()),
            (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "linked.txt", "other.txt", "ro.txt"}));
  EXPECT_EQ(group.Count(), 0u);
  EXPECT_EQ(group.Bytes(), 0u);

  // A group dropped without its commit switches nothing and leaves nothing.
  {
    hovrak::TSaveGroup dropped;
    ASSERT_EQ(Stage(dropped, dir / "a.txt", "never"), 0);
  }
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new a.txt");
  EXPECT_EQ(FolderNames(dir.Path()).size(), 6u);
}

TEST(SaveGroup, ABoundOfCountOrBytesFillsTheGroup) {
  TTempDir dir;
  const std::size_t files = hovrak::TSaveGroup::MaxFiles;
  hovrak::TSaveGroup::MaxFiles = 3;
  hovrak::TSaveGroup group;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(group.Full());
    ASSERT_EQ(Stage(group, dir / ("f" + std::to_string(i)), "x"), 0);
  }
  EXPECT_TRUE(group.Full());
  hovrak::TSaveGroup::MaxFiles = files;
  EXPECT_FALSE(group.Full());
  ASSERT_EQ(Stage(group, dir / "big", std::string(hovrak::TSaveGroup::MaxBytes, 'b')), 0);
  EXPECT_TRUE(group.Full());
  for (const auto& result : group.Commit()) EXPECT_EQ(result.Error, 0);
}

// Killed at every step of a group's saves: each file holds its old or its new bytes
// whole, no file is switched before all of the group is on disk, and the next start
// removes every temporary file.
TEST(SaveGroup, AKillAnywhereLeavesEachFileOldOrNew) {
  const std::string oldBytes(5000, 'o');
  for (gKillAtStep = 1;; ++gKillAtStep) {
    TTempDir dir, journal;
    for (const char* name : {"a", "b", "c"}) WriteWholeFile(dir / name, oldBytes);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gStepsTaken = 0;
      hovrak::SetSaveJournalFolder(journal.Path());
      hovrak::SetSafeSaveTestHook(KillAtStep, 1000);
      hovrak::TSaveGroup group;
      for (const char* name : {"a", "b", "c"})
        if (Stage(group, dir / name, std::string(3000, *name)) != 0) ::_exit(1);
      for (const auto& result : group.Commit())
        if (result.Error != 0) ::_exit(2);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    int renamed = 0;
    for (const char* name : {"a", "b", "c"}) {
      const std::string now = ReadWholeFile(dir / name);
      EXPECT_TRUE(now == oldBytes || now == std::string(3000, *name)) << "step " << gKillAtStep << " " << name;
      renamed += now != oldBytes;
    }
    // 3 files of 3 chunks each and their stages come first: no switch before them.
    if (gKillAtStep <= 13) {
      EXPECT_EQ(renamed, 0) << "step " << gKillAtStep;
    }
    EXPECT_TRUE(hovrak::RecoverSaveJournals(journal.Path()).empty());
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"a", "b", "c"})) << "step " << gKillAtStep;
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(renamed, 3);
      EXPECT_GT(gKillAtStep, 17);
      break;
    }
  }
}
