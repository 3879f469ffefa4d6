// Restoring a backup unit after real replace runs: every byte back in every code,
// files worked on since the replace left alone unless forced, deleted files and
// folders, collision names, stops, the undo of the undo, and hostile indexes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "backup/BackupRestore.h"
#include "backup/SettingsBackupIndex.h"
#include "core/MirunApp.h"
#include "platform/SafeSave.h"
#include "platform/SaveGroup.h"
#include "settings/KELNode.h"
#include "settings/Option.h"
#include "settings/SettingsFile.h"
#include "shared/StoppedException.h"
#include "text/FileOperationResult.h"

namespace {

struct TCodedText {
  TCharCode Code;
  const char* Name;
  std::string Bytes;
};

// "東京で会議" CR LF "東京駅です" LF in each code.
const std::vector<TCodedText> kTexts = {
    {TCharCode::SJIS, "sjis.txt",
     "\x93\x8C\x8B\x9E\x82\xC5\x89\xEF\x8B\x63\x0D\x0A\x93\x8C\x8B\x9E\x89\x77\x82\xC5\x82\xB7\x0A"},
    {TCharCode::EUC, "euc.txt",
     "\xC5\xEC\xB5\xFE\xA4\xC7\xB2\xF1\xB5\xC4\x0D\x0A\xC5\xEC\xB5\xFE\xB1\xD8\xA4\xC7\xA4\xB9\x0A"},
    {TCharCode::JIS, "jis.txt",
     "\x1B\x24\x42\x45\x6C\x35\x7E\x24\x47\x32\x71\x35\x44\x1B\x28\x42\x0D\x0A\x1B\x24\x42\x45\x6C\x35\x7E\x31\x58\x24"
     "\x47\x24\x39\x1B\x28\x42\x0A"},
    {TCharCode::UTF8N, "utf8.txt",
     "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xA7\xE4\xBC\x9A\xE8\xAD\xB0\x0D\x0A\xE6\x9D\xB1\xE4\xBA\xAC\xE9\xA7\x85\xE3\x81"
     "\xA7\xE3\x81\x99\x0A"},
    {TCharCode::UTF8, "utf8bom.txt",
     "\xEF\xBB\xBF\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xA7\xE4\xBC\x9A\xE8\xAD\xB0\x0D\x0A\xE6\x9D\xB1\xE4\xBA\xAC\xE9\xA7"
     "\x85\xE3\x81\xA7\xE3\x81\x99\x0A"},
    {TCharCode::UTF16, "utf16.txt",
     std::string("\xFF\xFE\x71\x67\xAC\x4E\x67\x30\x1A\x4F\x70\x8B\x0D\x00\x0A\x00\x71\x67\xAC\x4E\xC5\x99\x67\x30\x59"
                 "\x30\x0A\x00",
                 28)},
};

class BackupRestoreTest : public ::testing::Test {
 protected:
  TTempDir home, dir;
  TMirunApp app;
  TSettingsBackupIndex index{home / "Mirun.kel"};

  BackupRestoreTest() {
    app.Option->Backup = true;
    app.Option->CharCode = TCharCode::ASCII;
    app.Backup->BackupDir = home / "Backup";
    app.Backup->MaxSize = 100000000;
    app.Backup->IndexStore = &index;
  }

  std::string P(const std::string& name) const { return dir / name; }

  // Replaces from by to in the files and returns the name of the unit made.
  std::string Replace(const TStringVector& files, const std::string& from, const std::string& to,
                      TCharCode code = TCharCode::ASCII) {
    app.Option->CharCode = code;
    EXPECT_EQ(app.Search(files, {}, from), SearchCompleted);
    EXPECT_EQ(app.Replace(to), ReplaceCompleted);
    return app.FileSet->LastBackup.UnitName;
  }

  // The index as another process would read it from the settings file.
  std::unique_ptr<TBackup> StoredIndex() const {
    auto stored = std::make_unique<TBackup>();
    hovrak::TKELNode tree;
    tree.LoadFromBytes(ReadWholeFile(home / "Mirun.kel"));
    if (const auto block = tree.GetChild("Backup")) stored->ReadUnits(*block);
    return stored;
  }
};

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

TEST_F(BackupRestoreTest, ReplaceThenRestoreGivesEveryByteBackInEveryCode) {
  std::vector<std::string> units;
  for (const TCodedText& text : kTexts) {
    WriteWholeFile(P(text.Name), text.Bytes);
    ASSERT_EQ(::chmod(P(text.Name).c_str(), 0640), 0);
    units.push_back(Replace({P(text.Name)}, "東京", "大阪", text.Code));
    ASSERT_NE(ReadWholeFile(P(text.Name)), text.Bytes) << text.Name;
  }
  struct stat before;
  ASSERT_EQ(::stat((app.Backup->Folder() + "/" + units[0] + "/sjis.txt").c_str(), &before), 0);
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    TBackupRestore restore(*app.Backup);
    int asked = 0;
    restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
      ++asked;
      return TDecision::Skip;
    };
    const TRestoreReport report = restore.Run(units[i]);
    EXPECT_TRUE(report.Complete()) << kTexts[i].Name;
    EXPECT_EQ(report.Restored, 1u);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ReadWholeFile(P(kTexts[i].Name)), kTexts[i].Bytes) << kTexts[i].Name;
  }
  // The copy's mode and time stamp come back with its bytes.
  struct stat after;
  ASSERT_EQ(::stat(P("sjis.txt").c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  // Each unit is marked in the index on disk.
  const std::unique_ptr<TBackup> stored = StoredIndex();
  ASSERT_NE(stored->FindUnit(units[0]), nullptr);
  EXPECT_FALSE(stored->FindUnit(units[0])->Restored.is_special());
}

TEST_F(BackupRestoreTest, AFileEditedAfterTheReplaceIsOnlyOverwrittenWhenForced) {
  WriteWholeFile(P("a.txt"), "old a\n");
  WriteWholeFile(P("b.txt"), "old b\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt")}, "old", "new");
  WriteWholeFile(P("a.txt"), "new a\nthe user's own work\n");

  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  TDecision answer = TDecision::Skip;
  restore.OnFileError = [&](const std::string& path, TFileOperationResult result, int) {
    EXPECT_EQ(path, P("a.txt"));
    EXPECT_EQ(result, TFileOperationResult::ModifiedSinceSearch);
    problems.push_back(restore.Problem);
    return answer;
  };
  TRestoreReport report = restore.Run(unit);
  EXPECT_EQ(problems, std::vector<TRestoreProblem>{TRestoreProblem::Modified});
  EXPECT_EQ(report.Skipped, TStringVector{P("a.txt")});
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\nthe user's own work\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "old b\n");

  // The second restore asks first; declined, nothing happens.
  report = restore.Run(unit);
  EXPECT_TRUE(report.RestoredBefore);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\nthe user's own work\n");

  // Confirmed and forced: the edit goes, into the new unit, and b is already back.
  restore.OnConfirmAgain = [](const TBackupUnit&) { return true; };
  answer = TDecision::Force;
  report = restore.Run(unit);
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(report.Unchanged, 1u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a\n");
  const TBackupUnit* saved = app.Backup->FindUnit(report.Backup.UnitName);
  ASSERT_NE(saved, nullptr);
  ASSERT_EQ(saved->Files.size(), 1u);
  EXPECT_EQ(ReadWholeFile(saved->Folder() + "/" + saved->Files[0]), "new a\nthe user's own work\n");
}

TEST_F(BackupRestoreTest, ADeletedFileComesBackOnRetryOnceItsFolderIsThere) {
  WriteWholeFile(P("sub/deep/a.txt"), "old\n");
  const std::string unit = Replace({P("sub/deep/a.txt")}, "old", "new");
  ASSERT_EQ(::unlink(P("sub/deep/a.txt").c_str()), 0);
  ASSERT_EQ(::rmdir(P("sub/deep").c_str()), 0);

  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  restore.OnFileError = [&](const std::string&, TFileOperationResult result, int) {
    EXPECT_EQ(result, TFileOperationResult::OpenFailed);
    problems.push_back(restore.Problem);
    if (problems.size() == 1) {
      // The user makes the folder again and retries; the file itself is still gone.
      EXPECT_EQ(::mkdir(P("sub/deep").c_str(), 0755), 0);
      return TDecision::Retry;
    }
    return TDecision::Force;
  };
  const TRestoreReport report = restore.Run(unit);
  EXPECT_EQ(problems, (std::vector<TRestoreProblem>{TRestoreProblem::FolderMissing, TRestoreProblem::Missing}));
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("sub/deep/a.txt")), "old\n");
  // Nothing was overwritten, so no new unit.
  EXPECT_TRUE(report.Backup.UnitName.empty());

  // Forcing a file whose folder is gone makes the folder.
  WriteWholeFile(P("gone/b.txt"), "old\n");
  const std::string second = Replace({P("gone/b.txt")}, "old", "new");
  ASSERT_EQ(::unlink(P("gone/b.txt").c_str()), 0);
  ASSERT_EQ(::rmdir(P("gone").c_str()), 0);
  restore.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Force; };
  EXPECT_EQ(restore.Run(second).Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("gone/b.txt")), "old\n");
}

TEST_F(BackupRestoreTest, CopiesWithCollisionSuffixesGoBackToTheirOwnFiles) {
  // Both names become "x_y.txt" in the unit; the second copy is "x_y.txt~2".
  WriteWholeFile(P("x:y.txt"), "old colon\n");
  WriteWholeFile(P("x;y.txt"), "old semicolon\n");
  const std::string unit = Replace({P("x:y.txt"), P("x;y.txt")}, "old", "new");
  const TBackupUnit* listed = app.Backup->FindUnit(unit);
  ASSERT_NE(listed, nullptr);
  ASSERT_EQ(listed->Files, (TStringVector{"x_y.txt", "x_y.txt~2"}));

  TBackupRestore restore(*app.Backup);
  const TRestoreReport report = restore.Run(unit);
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(ReadWholeFile(P("x:y.txt")), "old colon\n");
  EXPECT_EQ(ReadWholeFile(P("x;y.txt")), "old semicolon\n");
  EXPECT_FALSE(Exists(P("x_y.txt")));
}

TEST_F(BackupRestoreTest, OriginalPathsOfUnitsWithAndWithoutRecordedSources) {
  TBackup store;
  TBackupUnit unit(&store);
  unit.BaseDir = "/w/src";
  unit.Files = {"a.txt", "x_y.txt", "x_y.txt~2", "notes~3", "d~2/e.txt"};
  // Older units: the suffix comes off unless another entry then names the same file.
  EXPECT_EQ(unit.OriginalPath(0), "/w/src/a.txt");
  EXPECT_EQ(unit.OriginalPath(1), "/w/src/x_y.txt");
  EXPECT_EQ(unit.OriginalPath(2), "");
  EXPECT_EQ(unit.OriginalPath(3), "/w/src/notes");
  EXPECT_EQ(unit.OriginalPath(4), "/w/src/d/e.txt");
  unit.BaseDir = "relative";
  EXPECT_EQ(unit.OriginalPath(0), "");

  // Recorded sources must lie below the base folder and give the copy's name.
  unit.BaseDir = "/w/src";
  unit.Files = {"a.txt", "x_y.txt~2", "b.txt", "c.txt", "d.txt", "__/e.txt", "f.txt"};
  unit.Sources = {"/w/src/a.txt",    "/w/src/x;y.txt",  "/etc/passwd", "/w/src/other.txt",
                  "/w/src/../d.txt", "/w/src/../e.txt", "/w/srcf.txt"};
  EXPECT_EQ(unit.OriginalPath(0), "/w/src/a.txt");
  EXPECT_EQ(unit.OriginalPath(1), "/w/src/x;y.txt");
  for (std::size_t k = 2; k < unit.Files.size(); ++k) EXPECT_EQ(unit.OriginalPath(k), "") << unit.Files[k];
}

TEST_F(BackupRestoreTest, AStopHalfWayLeavesEachFileWholeAndTheIndexTrue) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteWholeFile(P(name), std::string("old ") + name + "\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt"), P("c.txt")}, "old", "new");

  TBackupRestore restore(*app.Backup);
  restore.OnProcess = [](TProcessType type, const std::string&, int index, int) {
    if (type == TProcessType::Replacing && index == 1) throw EStoppedException();
  };
  const TRestoreReport report = restore.Run(unit);
  EXPECT_TRUE(report.Stopped);
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a.txt\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "new b.txt\n");
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "new c.txt\n");
  // No temporary file is left beside them.
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) entries += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(entries, 3u);
  const std::unique_ptr<TBackup> stored = StoredIndex();
  ASSERT_NE(stored->FindUnit(unit), nullptr);
  EXPECT_FALSE(stored->FindUnit(unit)->Restored.is_special());
  const TBackupUnit* saved = stored->FindUnit(report.Backup.UnitName);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->Files.size(), 3u);

  // Restoring again finishes the job: a is already back, b and c still as written.
  restore.OnProcess.clear();
  restore.OnConfirmAgain = [](const TBackupUnit&) { return true; };
  const TRestoreReport rest = restore.Run(unit);
  EXPECT_TRUE(rest.Complete());
  EXPECT_EQ(rest.Unchanged, 1u);
  EXPECT_EQ(rest.Restored, 2u);
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "old c.txt\n");
}

TEST_F(BackupRestoreTest, TheUnitMadeBeforeARestoreUndoesTheRestore) {
  WriteWholeFile(P("a.txt"), "old a\n");
  WriteWholeFile(P("b.txt"), "old b\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt")}, "old", "new");
  TBackupRestore restore(*app.Backup);
  int asked = 0;
  restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    ++asked;
    return TDecision::Skip;
  };
  const TRestoreReport first = restore.Run(unit);
  ASSERT_FALSE(first.Backup.UnitName.empty());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a\n");

  // The new unit knows the state the restore left each file in: no question.
  const TRestoreReport undo = restore.Run(first.Backup.UnitName);
  EXPECT_TRUE(undo.Complete());
  EXPECT_EQ(undo.Restored, 2u);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "new b\n");
}

TEST_F(BackupRestoreTest, PruningForTheNewUnitNeverTakesTheUnitBeingRestored) {
  WriteWholeFile(P("a.txt"), "old a\n");
  const std::string unit = Replace({P("a.txt")}, "old", "new");
  // Any new unit now makes the older ones go.
  app.Backup->MaxSize = 1;
  app.Backup->OnConfirmSize = [](std::uint64_t) { return true; };
  TBackupRestore restore(*app.Backup);
  const TRestoreReport report = restore.Run(unit);
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a\n");
  EXPECT_NE(app.Backup->FindUnit(unit), nullptr);
  EXPECT_TRUE(app.Backup->KeptUnits.empty());
}

TEST_F(BackupRestoreTest, OlderUnitsWithoutTheNewKeysRestoreOnlyWithConfirmation) {
  WriteWholeFile(home / "Backup/20050314_src_1/a.txt", "old a\n");
  WriteWholeFile(home / "Backup/20050314_src_1/same.txt", "same\n");
  WriteWholeFile(P("a.txt"), "new a\n");
  WriteWholeFile(P("same.txt"), "same\n");
  WriteWholeFile(home / "Mirun.kel",
                 "Backup{\r\n  Unit{\r\n    Time=2005-03-14 10:00:00\r\n    Name=20050314_src_1\r\n    Size=11\r\n"
                 "    BaseDir=" +
                     dir.Path() + "\r\n    File=a.txt\r\n    File=same.txt\r\n  }\r\n}\r\n");
  TSettingsFile settings(home / "Mirun.kel");
  hovrak::TKELNode tree;
  tree.LoadFromBytes(ReadWholeFile(home / "Mirun.kel"));
  app.Backup->ReadUnits(*tree.GetChild("Backup"));
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  EXPECT_TRUE(app.Backup->Units[0]->Sources.empty());

  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    problems.push_back(restore.Problem);
    return TDecision::Force;
  };
  // Its base folder lies outside the user's own folders: nothing is asked or written
  // until it is named as allowed.
  TRestoreReport report = restore.Run("20050314_src_1");
  EXPECT_TRUE(report.BaseRefused);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(report.Unchanged, 1u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\n");
  // Named, or inside the home folder, the unit still needs a yes of its own.
  restore.AllowedBase = dir.Path() + "/";
  int confirmations = 0;
  bool confirm = false;
  restore.OnConfirmOldUnit = [&](const TBackupUnit& unit) {
    EXPECT_EQ(unit.Name, "20050314_src_1");
    ++confirmations;
    return confirm;
  };
  report = restore.Run("20050314_src_1");
  EXPECT_TRUE(report.OldUnitDeclined);
  EXPECT_FALSE(report.Complete());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\n");
  restore.AllowedBase.clear();
  restore.HomeFolder = dir.Path();
  confirm = true;
  report = restore.Run("20050314_src_1");
  EXPECT_EQ(confirmations, 2);
  EXPECT_EQ(problems, std::vector<TRestoreProblem>{TRestoreProblem::NotRecorded});
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a\n");
  // The root folder and folders outside the home folder are never one's own.
  EXPECT_FALSE(TBackupRestore::IsOwnFolder("/", "/home/u"));
  EXPECT_FALSE(TBackupRestore::IsOwnFolder("/home/user", "/home/u"));
  EXPECT_FALSE(TBackupRestore::IsOwnFolder("/etc", "/"));
  EXPECT_TRUE(TBackupRestore::IsOwnFolder("/home/u/", "/home/u"));
  EXPECT_TRUE(TBackupRestore::IsOwnFolder("/home/u/src", "/home/u"));
  // The older unit keeps its form in the file: no sources were made up for it.
  const std::string written = ReadWholeFile(home / "Mirun.kel");
  EXPECT_EQ(written.find("Source=" + dir.Path() + "/a.txt"), written.rfind("Source=" + dir.Path() + "/a.txt"));
}

TEST_F(BackupRestoreTest, AHostileIndexReadsAndWritesNothingOutside) {
  TTempDir outside;
  WriteWholeFile(outside / "secret.txt", "secret\n");
  WriteWholeFile(P("a.txt"), "mine\n");
  // A unit folder whose copy is a link to a file outside, and one whose folder is a link.
  ASSERT_EQ(::mkdir((home / "Backup").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((home / "Backup/u_1").c_str(), 0700), 0);
  ASSERT_EQ(::symlink((outside / "secret.txt").c_str(), (home / "Backup/u_1/a.txt").c_str()), 0);
  ASSERT_EQ(::symlink(outside.Path().c_str(), (home / "Backup/u_2").c_str()), 0);
  const std::string block =
      "Backup{\r\n"
      "  Unit{\r\n    Name=../escape\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=a.txt\r\n  }\r\n"
      "  Unit{\r\n    Name=u_0\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=../../secret.txt\r\n  }\r\n"
      "  Unit{\r\n    Name=u_3\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=/etc/hostname\r\n  }\r\n"
      "  Unit{\r\n    Name=u_1\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=a.txt\r\n  }\r\n"
      "  Unit{\r\n    Name=u_2\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=secret.txt\r\n  }\r\n"
      "  Unit{\r\n    Name=u_4\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=a.txt\r\n"
      "    Source=" +
      outside.Path() +
      "/secret.txt\r\n    Written=\r\n  }\r\n"
      "}\r\n";
  WriteWholeFile(home / "Backup/u_4/a.txt", "planted\n");
  hovrak::TKELNode tree;
  tree.LoadFromBytes(block);
  app.Backup->ReadUnits(*tree.GetChild("Backup"));

  TBackupRestore restore(*app.Backup);
  restore.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Force; };
  // Units that could reach outside never enter the index.
  for (const char* name : {"../escape", "u_0", "u_3"}) EXPECT_FALSE(restore.Run(name).Found) << name;
  // A copy or unit folder that is a link is not followed.
  TRestoreReport report = restore.Run("u_1");
  ASSERT_EQ(report.MissingCopies.size(), 1u);
  EXPECT_EQ(report.MissingCopies[0].Error, ELOOP);
  EXPECT_EQ(restore.Run("u_2").MissingCopies.size(), 1u);
  // A recorded source outside the base folder is refused.
  report = restore.Run("u_4");
  EXPECT_EQ(report.Refused, TStringVector{"a.txt"});
  EXPECT_EQ(report.Restored, 0u);

  EXPECT_EQ(ReadWholeFile(P("a.txt")), "mine\n");
  EXPECT_EQ(ReadWholeFile(outside / "secret.txt"), "secret\n");
  EXPECT_FALSE(Exists(P("secret.txt")));
  EXPECT_FALSE(Exists(home / "escape"));
}

TEST_F(BackupRestoreTest, AFailedWriteAsksAndForceCannotForceIt) {
  WriteWholeFile(P("a.txt"), "old a\n");
  WriteWholeFile(P("b.txt"), "old b\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt")}, "old", "new");
  // A folder now stands where a.txt was: it cannot be written over.
  ASSERT_EQ(::unlink(P("a.txt").c_str()), 0);
  ASSERT_EQ(::mkdir(P("a.txt").c_str(), 0755), 0);
  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    problems.push_back(restore.Problem);
    if (restore.Problem == TRestoreProblem::WriteFailed) {
      EXPECT_EQ(restore.LastError, EISDIR);
    }
    return TDecision::Force;
  };
  const TRestoreReport report = restore.Run(unit);
  EXPECT_EQ(problems, (std::vector<TRestoreProblem>{TRestoreProblem::Modified, TRestoreProblem::WriteFailed}));
  ASSERT_EQ(report.WriteFailures.size(), 1u);
  EXPECT_EQ(report.WriteFailures[0].Path, P("a.txt"));
  EXPECT_EQ(report.Restored, 1u);
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "old b\n");
  EXPECT_FALSE(report.Complete());
}

TEST_F(BackupRestoreTest, AUnitWithCopiesGoneRestoresTheRestAndReportsThem) {
  WriteWholeFile(P("a.txt"), "old a\n");
  WriteWholeFile(P("b.txt"), "old b\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt")}, "old", "new");
  ASSERT_NE(app.Backup->FindUnit(unit), nullptr);
  ASSERT_EQ(::unlink((app.Backup->FindUnit(unit)->Folder() + "/a.txt").c_str()), 0);
  TBackupRestore restore(*app.Backup);
  TRestoreReport report = restore.Run(unit);
  ASSERT_EQ(report.MissingCopies.size(), 1u);
  EXPECT_EQ(report.MissingCopies[0].Path, P("a.txt"));
  EXPECT_EQ(report.MissingCopies[0].Error, ENOENT);
  EXPECT_FALSE(report.Complete());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new a\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "old b\n");

  // A unit whose folder is gone entirely reports every file.
  WriteWholeFile(P("c.txt"), "old c\n");
  const std::string second = Replace({P("c.txt")}, "old", "new");
  const TBackupUnit* listed = app.Backup->FindUnit(second);
  ASSERT_NE(listed, nullptr);
  ASSERT_EQ(::unlink((listed->Folder() + "/c.txt").c_str()), 0);
  ASSERT_EQ(::unlink((listed->Folder() + "/.mirun-unit").c_str()), 0);
  ASSERT_EQ(::rmdir(listed->Folder().c_str()), 0);
  report = restore.Run(second);
  EXPECT_EQ(report.MissingCopies.size(), 1u);
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "new c\n");
  EXPECT_FALSE(restore.Run("no_such_unit").Found);
}

TEST_F(BackupRestoreTest, UnitsMadeByAnotherProcessDuringARestoreStayInTheIndex) {
  for (int i = 0; i < 20; ++i) WriteWholeFile(P("f" + std::to_string(i) + ".txt"), "old\n");
  TStringVector files;
  for (int i = 0; i < 20; ++i) files.push_back(P("f" + std::to_string(i) + ".txt"));
  const std::string unit = Replace(files, "old", "new");
  WriteWholeFile(P("other/o.txt"), "other\n");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another process backs files up through the same settings file meanwhile.
    TBackup other;
    other.BackupDir = home / "Backup";
    other.MaxSize = 100000000;
    TSettingsBackupIndex otherIndex(home / "Mirun.kel");
    other.IndexStore = &otherIndex;
    bool ok = true;
    for (int i = 0; i < 10; ++i) ok = ok && other.MakeBackup({P("other/o.txt")}).Complete();
    ::_exit(ok ? 0 : 1);
  }
  TBackupRestore restore(*app.Backup);
  const TRestoreReport report = restore.Run(unit);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(report.Complete());
  // The replace's unit, the one made before the restore, and the other ten.
  const std::unique_ptr<TBackup> stored = StoredIndex();
  EXPECT_EQ(stored->Units.size(), 12u);
  ASSERT_NE(stored->FindUnit(unit), nullptr);
  EXPECT_FALSE(stored->FindUnit(unit)->Restored.is_special());
  EXPECT_NE(stored->FindUnit(report.Backup.UnitName), nullptr);
}

TEST(BackupUnitRecord, TheNewKeysRoundTripAndListsOutOfStepAreDropped) {
  TBackup store;
  TBackupUnit unit(&store);
  unit.Name = "20050314_src_1";
  unit.BaseDir = "/w/src";
  unit.Files = {"a.txt", "b.txt"};
  unit.Sources = {"/w/src/a.txt", "/w/src/b.txt"};
  unit.Written = {TWrittenState::Parse("12 1110800000.123456789"), TWrittenState()};
  unit.Restored = boost::posix_time::time_from_string("2005-03-15 09:00:00");
  hovrak::TKELNode node;
  unit.Write(node);
  const std::string bytes = node.SaveToBytes();
  EXPECT_NE(bytes.find("Written=12 1110800000.123456789\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Restored=2005-03-15 09:00:00\r\n"), std::string::npos) << bytes;

  TBackupUnit read(&store);
  hovrak::TKELNode again;
  again.LoadFromBytes(bytes);
  read.Read(again);
  EXPECT_EQ(read.Sources, unit.Sources);
  ASSERT_EQ(read.Written.size(), 2u);
  EXPECT_EQ(read.Written[0].Size, 12);
  EXPECT_EQ(read.Written[0].Nanoseconds, 123456789);
  EXPECT_FALSE(read.Written[1].Known());
  EXPECT_EQ(read.Restored, unit.Restored);

  // A source list that does not match the files is no record at all.
  hovrak::TKELNode odd;
  odd.LoadFromBytes("File=a.txt\r\nFile=b.txt\r\nSource=/w/src/a.txt\r\nWritten=1 2.000000003\r\n");
  read.Read(odd);
  EXPECT_TRUE(read.Sources.empty());
  EXPECT_TRUE(read.Written.empty());
  EXPECT_TRUE(read.Restored.is_special());
  for (const char* bad : {"", "12", "-1 2.000000000", "1 2.5", "1 2.000000000x"})
    EXPECT_FALSE(TWrittenState::Parse(bad).Known()) << bad;
}

}  // namespace

namespace {

// A racer that, the moment a new file takes the name target (the write of a
// restore), puts a link to victim in its place.
class TLinkSwapper {
 public:
  // The file's first inode is taken before the thread starts: taken by the thread, it
  // could already be the restored file's on a loaded machine, and no swap would follow.
  TLinkSwapper(const std::string& target, const std::string& victim)
      : first_(InodeOf(target)), thread_([this, target, victim] {
          struct stat st;
          const std::string temp = target + ".swap";
          while (!stop_) {
            if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_ino == first_) continue;
            if (::symlink(victim.c_str(), temp.c_str()) == 0) ::rename(temp.c_str(), target.c_str());
            swapped_ = true;
            return;
          }
        }) {}
  ~TLinkSwapper() {
    stop_ = true;
    thread_.join();
  }
  bool Swapped() const { return swapped_; }

 private:
  static ino_t InodeOf(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  }

  const ino_t first_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> swapped_{false};
  std::thread thread_;
};

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

}  // namespace

// A second thread swaps the file for a link to a file outside the moment the
// restore's new file takes its name: nothing the restore does after that switch
// reaches the outside file, whose bytes, mode and times stay.
TEST_F(BackupRestoreTest, ALinkSwappedInAtAnyStepNeverLetsTheRestoreChangeAnotherFile) {
  TTempDir outside;
  WriteWholeFile(outside / "victim", "secret\n");
  ASSERT_EQ(::chmod((outside / "victim").c_str(), 0640), 0);
  const struct stat before = StatOf(outside / "victim");
  for (int round = 0; round < 5; ++round) {
    WriteWholeFile(P("a.txt"), "old text\n");
    ASSERT_EQ(::chmod(P("a.txt").c_str(), 0604), 0);
    const std::string unit = Replace({P("a.txt")}, "old", "new");
    TBackupRestore restore(*app.Backup);
    restore.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Force; };
    {
      const TLinkSwapper swapper(P("a.txt"), outside / "victim");
      EXPECT_EQ(restore.Run(unit).Restored, 1u);
      for (int wait = 0; wait < 1000 && !swapper.Swapped(); ++wait) ::usleep(1000);
      EXPECT_TRUE(swapper.Swapped());
    }
    const struct stat after = StatOf(outside / "victim");
    EXPECT_EQ(ReadWholeFile(outside / "victim"), "secret\n") << "round " << round;
    EXPECT_EQ(after.st_mode & 07777, 0640u) << "round " << round;
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << "round " << round;
    ::unlink(P("a.txt").c_str());
  }
}

// Forced: a link where the file was gives way to the file (the file it pointed to,
// or would have created, stays as it was); a folder on the way that became a link
// is not followed and the file is reported.
TEST_F(BackupRestoreTest, LinksAtAndAboveTheFileAreNeverFollowed) {
  TTempDir outside;
  WriteWholeFile(outside / "outside.txt", "outside\n");
  WriteWholeFile(P("a.txt"), "old a\n");
  WriteWholeFile(P("sub/b.txt"), "old b\n");
  WriteWholeFile(P("c.txt"), "old c\n");
  const std::string unit = Replace({P("a.txt"), P("sub/b.txt"), P("c.txt")}, "old", "new");
  ASSERT_EQ(::unlink(P("a.txt").c_str()), 0);
  ASSERT_EQ(::symlink((outside / "outside.txt").c_str(), P("a.txt").c_str()), 0);
  ASSERT_EQ(::rename(P("sub").c_str(), P("sub.moved").c_str()), 0);
  ASSERT_EQ(::mkdir((outside / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::symlink((outside / "sub").c_str(), P("sub").c_str()), 0);
  ASSERT_EQ(::unlink(P("c.txt").c_str()), 0);
  ASSERT_EQ(::symlink((outside / "created.txt").c_str(), P("c.txt").c_str()), 0);

  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    problems.push_back(restore.Problem);
    return TDecision::Force;
  };
  const TRestoreReport report = restore.Run(unit);
  EXPECT_EQ(problems, (std::vector<TRestoreProblem>{TRestoreProblem::Link, TRestoreProblem::Link,
                                                    TRestoreProblem::LinkedFolder}));
  EXPECT_EQ(report.Restored, 2u);
  EXPECT_EQ(report.Unreachable, TStringVector{P("sub/b.txt")});
  EXPECT_FALSE(report.Complete());
  EXPECT_EQ(ReadWholeFile(outside / "outside.txt"), "outside\n");
  EXPECT_FALSE(Exists(outside / "created.txt"));
  EXPECT_FALSE(Exists(outside / "sub/b.txt"));
  for (const char* name : {"a.txt", "c.txt"}) {
    struct stat st;
    ASSERT_EQ(::lstat(P(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
  }
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old a\n");
  // The links themselves were no files of the user's: nothing of them was backed up.
  EXPECT_TRUE(report.Backup.UnitName.empty());
}

// Bytes changed with size and times put back (cp -p, touch -r): the content hash of
// the replace tells; and a copy damaged since is reported, never written, also forced.
TEST_F(BackupRestoreTest, AnEditKeepingSizeAndTimeIsNoticedAndADamagedCopyIsNeverWritten) {
  WriteWholeFile(P("a.txt"), "old text\n");
  WriteWholeFile(P("b.txt"), "old " + std::string(100, 'b') + "\n");
  const std::string unit = Replace({P("a.txt"), P("b.txt")}, "old", "new");
  const struct stat written = StatOf(P("a.txt"));
  WriteWholeFile(P("a.txt"), "mine txt\n");
  const timespec times[2] = {written.st_atim, written.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, P("a.txt").c_str(), times, 0), 0);
  const TBackupUnit* listed = app.Backup->FindUnit(unit);
  ASSERT_NE(listed, nullptr);
  ASSERT_EQ(::truncate((listed->Folder() + "/b.txt").c_str(), 10), 0);

  TBackupRestore restore(*app.Backup);
  std::vector<TRestoreProblem> problems;
  restore.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    problems.push_back(restore.Problem);
    return TDecision::Skip;
  };
  TRestoreReport report = restore.Run(unit);
  EXPECT_EQ(problems, std::vector<TRestoreProblem>{TRestoreProblem::Modified});
  EXPECT_EQ(report.DamagedCopies, TStringVector{P("b.txt")});
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "mine txt\n");
  restore.OnConfirmAgain = [](const TBackupUnit&) { return true; };
  restore.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Force; };
  report = restore.Run(unit);
  EXPECT_EQ(report.DamagedCopies, TStringVector{P("b.txt")});
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "new " + std::string(100, 'b') + "\n");
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old text\n");
}

// Names with line feeds and tabs, in the file and in its base folder, are kept in
// the index and come back exactly.
TEST_F(BackupRestoreTest, NamesWithLineFeedsAndTabsRestoreExactly) {
  const std::string base = dir / "base\nfolder";
  WriteWholeFile(base + "/a\nb.txt", "old a\n");
  WriteWholeFile(base + "/c\td\r.txt", "old c\n");
  const std::string unit = Replace({base + "/a\nb.txt", base + "/c\td\r.txt"}, "old", "new");
  const std::unique_ptr<TBackup> stored = StoredIndex();
  const TBackupUnit* listed = stored->FindUnit(unit);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->BaseDir, base);
  EXPECT_EQ(listed->Sources, (TStringVector{base + "/a\nb.txt", base + "/c\td\r.txt"}));
  TBackupRestore restore(*app.Backup);
  const TRestoreReport report = restore.Run(unit);
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.Restored, 2u);
  EXPECT_EQ(ReadWholeFile(base + "/a\nb.txt"), "old a\n");
  EXPECT_EQ(ReadWholeFile(base + "/c\td\r.txt"), "old c\n");
}

// A file deleted after the replace comes back with its own mode, and the recorded
// state keeps the nanoseconds of the time the replace left it with.
TEST_F(BackupRestoreTest, ARecreatedFileGetsTheCopysModeAndTheRecordItsNanoseconds) {
  WriteWholeFile(P("a.txt"), "old a\n");
  ASSERT_EQ(::chmod(P("a.txt").c_str(), 0600), 0);
  const std::string unit = Replace({P("a.txt")}, "old", "new");
  const struct stat written = StatOf(P("a.txt"));
  const std::unique_ptr<TBackup> stored = StoredIndex();
  ASSERT_NE(stored->FindUnit(unit), nullptr);
  const TWrittenState record = stored->FindUnit(unit)->WrittenOf(0);
  EXPECT_EQ(record.Seconds, written.st_mtim.tv_sec);
  EXPECT_EQ(record.Nanoseconds, written.st_mtim.tv_nsec);

  ASSERT_EQ(::unlink(P("a.txt").c_str()), 0);
  ::umask(022);
  TBackupRestore restore(*app.Backup);
  restore.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Force; };
  EXPECT_EQ(restore.Run(unit).Restored, 1u);
  EXPECT_EQ(StatOf(P("a.txt")).st_mode & 07777, 0600u);
}

namespace {

// When the second file of a restore is staged, someone else writes gEdited, whose
// copy waits in the same group.
std::string gEdited;
int gStagedWrites = 0;
int EditAtSecondStage(const char* step) {
  if (std::strcmp(step, "staged") == 0 && ++gStagedWrites == 2) WriteWholeFile(gEdited, "edited meanwhile\n");
  return 0;
}

}  // namespace

// The copies go back in groups: a file edited while its group waits is not
// overwritten but asked about as at the check, after the files before it are back
// and before any later question; the others of its group go back all the same.
TEST_F(BackupRestoreTest, AFileEditedWhileItsGroupWaitsIsAskedAboutAndTheRestGoBack) {
  const std::size_t files = hovrak::TSaveGroup::MaxFiles;
  hovrak::TSaveGroup::MaxFiles = 2;
  TStringVector paths;
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
    WriteWholeFile(P(name), std::string("old ") + name + "\n");
    paths.push_back(P(name));
  }
  const std::string unit = Replace(paths, "old", "new");
  TBackupRestore restore(*app.Backup);
  std::vector<std::string> asked;
  restore.OnFileError = [&](const std::string& path, TFileOperationResult, int) {
    asked.push_back(path);
    return TDecision::Skip;
  };
  gEdited = P("a.txt");
  gStagedWrites = 0;
  hovrak::SetSafeSaveTestHook(EditAtSecondStage);
  const TRestoreReport report = restore.Run(unit);
  hovrak::SetSafeSaveTestHook(nullptr);
  hovrak::TSaveGroup::MaxFiles = files;
  EXPECT_EQ(asked, TStringVector{P("a.txt")});
  EXPECT_EQ(report.Skipped, TStringVector{P("a.txt")});
  EXPECT_EQ(report.Restored, 4u);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "edited meanwhile\n");
  for (const char* name : {"b.txt", "c.txt", "d.txt", "e.txt"})
    EXPECT_EQ(ReadWholeFile(P(name)), std::string("old ") + name + "\n");
  // The new unit knows the state of each file written, so its undo asks nothing.
  const TBackupUnit* saved = app.Backup->FindUnit(report.Backup.UnitName);
  ASSERT_NE(saved, nullptr);
  std::size_t recorded = 0;
  for (const TWrittenState& state : saved->Written) recorded += state.Known() ? 1 : 0;
  EXPECT_EQ(recorded, 4u);
}

namespace {

// Whether some file under folder holds exactly bytes.
bool SomeCopyHolds(const std::string& folder, const std::string& bytes) {
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
    if (entry.is_regular_file() && ReadWholeFile(entry.path().string()) == bytes) return true;
  return false;
}

}  // namespace

// A restore killed at any step of its groups leaves each file as the replace left it
// or as it was before, and every file it put back has the bytes it overwrote in a
// unit of its own.
TEST_F(BackupRestoreTest, AKillAtAnyStepOfARestoreLeavesEachFileWholeWithItsCopy) {
  struct TGroupsOfTwo {
    const std::size_t files = hovrak::TSaveGroup::MaxFiles;
    TGroupsOfTwo() { hovrak::TSaveGroup::MaxFiles = 2; }
    ~TGroupsOfTwo() { hovrak::TSaveGroup::MaxFiles = files; }
  } groups;
  constexpr int kFiles = 5;
  for (gKillAtStep = 1;; ++gKillAtStep) {
    TStringVector paths;
    const auto text = [](const char* kind, int i) {
      return std::string(kind) + " " + std::to_string(i) + " " + std::to_string(gKillAtStep);
    };
    for (int i = 0; i < kFiles; ++i) {
      paths.push_back(P("f" + std::to_string(i) + ".txt"));
      WriteWholeFile(paths.back(), text("old", i));
    }
    const std::string unit = Replace(paths, "old", "new");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gStepsTaken = 0;
      hovrak::SetSafeSaveTestHook(KillAtStep);
      TBackupRestore restore(*app.Backup);
      _exit(restore.Run(unit).Restored == kFiles ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    int restored = 0;
    for (int i = 0; i < kFiles; ++i) {
      const std::string now = ReadWholeFile(paths[static_cast<std::size_t>(i)]);
      ASSERT_TRUE(now == text("old", i) || now == text("new", i)) << "step " << gKillAtStep << " file " << i;
      if (now != text("old", i)) continue;
      ++restored;
      EXPECT_TRUE(SomeCopyHolds(home / "Backup", text("new", i))) << "step " << gKillAtStep << " file " << i;
    }
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(restored, kFiles);
      EXPECT_GT(gKillAtStep, 2 * kFiles);
      break;
    }
  }
}
