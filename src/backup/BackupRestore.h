#pragma once
// Puts the copies of one backup unit back where they came from: the undo of a
// replace. Files someone changed, deleted or moved since the replace are written
// only when the user says so; the files about to be overwritten are backed up first
// into a new unit, so that the restore itself can be undone. Below the unit's base
// folder no symbolic link is ever followed: each folder is held by its descriptor
// and every step is taken through it.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <boost/function.hpp>

#include "backup/RestoreProblem.h"
#include "backup/RestoreReport.h"
#include "backup/WrittenState.h"
#include "platform/FileIdentity.h"
#include "platform/FileLock.h"
#include "platform/SaveGroup.h"
#include "shared/Decision.h"
#include "shared/ProcessType.h"

class TBackup;
class TBackupUnit;

class TBackupRestore {
 public:
  // The store whose unit is restored; its index store (when set) keeps the index
  // consistent with other processes.
  explicit TBackupRestore(TBackup& store);

  // Progress: Searching while the files are checked, BackingUp while the files about
  // to be overwritten are copied, Replacing while the copies go back. May raise
  // EStoppedException to stop.
  TProcessEvent OnProcess;
  // Asks about a file that failed a check (Problem and LastError say which):
  // ModifiedSinceSearch for Modified, NotRecorded and Link, OpenFailed for the
  // others. Retry checks again, Skip leaves the file, Force writes it anyway
  // (creating its folder when gone, replacing a link by the file; for a failed write
  // or a linked folder Force leaves it like Skip), Abort stops. Unset: Skip.
  TFileErrorEvent OnFileError;
  // Asks whether to restore a unit already restored once. Unset: no.
  boost::function<bool(const TBackupUnit&)> OnConfirmAgain;
  // Asks whether to go on when the backup of the files about to be overwritten is
  // incomplete. Unset or false: nothing is written.
  boost::function<bool(const TBackupReport&)> OnBackupFailed;
  // Asks, once, before the first file of a unit without records (made by an older
  // version, so it cannot tell a file changed since from one that was not) is
  // written. Unset or false: such a unit writes nothing.
  boost::function<bool(const TBackupUnit&)> OnConfirmOldUnit;
  // A unit without records whose base folder is the root, or lies outside the
  // user's own folders (below HomeFolder), writes nothing unless its base folder is
  // named here (the user's explicit word).
  std::string AllowedBase;
  // The user's own folders are this one and those below it; the home folder unless
  // set.
  std::string HomeFolder;

  // What OnFileError is being asked about, and the system error behind it (0: none).
  TRestoreProblem Problem = TRestoreProblem::Modified;
  int LastError = 0;

  // Restores the unit of that name. A stop or Abort ends it with Stopped set in the
  // report; the index records the restore and what was written so far.
  TRestoreReport Run(const std::string& name);

  // Whether a unit's base folder is one a unit without records may write into
  // without being named: not the root, and inside home (the folder itself or below).
  static bool IsOwnFolder(const std::string& base, const std::string& home);

 private:
  // Skip: left by the user's choice; Failed: left for a reason already reported.
  enum class TVerdict { Write, Unchanged, Skip, Failed };
  struct TPlanned {
    std::size_t Entry = 0;
    std::string Target;              // the full path, for questions and records
    std::string Base;                // the unit's base folder, where links are no longer followed
    std::string Folder;              // the file's folder below Base ("" for Base itself)
    std::string Name;                // the file's name in Folder
    hovrak::TFileIdentity Expected;  // the entry as checked (a link itself); not known when missing
    bool CreateFolders = false;
    bool ReplaceLink = false;
  };

  // Reads and checks every copy of the unit against its file, asking what the checks
  // leave open: the files to write back, in the unit's order.
  std::vector<TPlanned> Plan(const TBackupUnit& unit, TRestoreReport& report);
  // Backs up the files the plan overwrites (backupUnit: the new unit's name); false
  // when that backup was incomplete and OnBackupFailed did not agree to go on.
  bool BackUpOverwritten(const std::vector<TPlanned>& plan, TRestoreReport& report, std::string& backupUnit);
  // Tells the index what the restore did: the unit restored, the states written.
  void RecordOutcome(const std::string& name, const std::string& backupUnit, TRestoreReport& report);
  // Compares the file at the target with its copy and the recorded state, asking
  // when they disagree.
  TVerdict Check(const TBackupUnit& unit, const std::string& copy, TPlanned& plan, TRestoreReport& report);
  // Writes one planned file back, checking again when it changed since the check.
  // grouped: into the group of writes, ended by CommitWrites. failed: the error of an
  // earlier write of the plan (its group's), taken up where a write would fail.
  void WriteBack(const TBackupUnit& unit, TPlanned plan, int index, int count, TRestoreReport& report,
                 bool grouped = false, int failed = 0);
  // Puts the grouped writes in place, each file's lock held until then; a failed one
  // is taken up again alone (ask), or only reported (on a stop).
  void CommitWrites(const TBackupUnit& unit, TRestoreReport& report, bool ask = true);
  // Whether a forced write of a unit without records may go ahead; asked once.
  bool OldUnitAllowed(const TBackupUnit& unit, TRestoreReport& report);
  TDecision Ask(const std::string& path, TRestoreProblem problem, int error);
  void Progress(TProcessType type, const std::string& path, int index, int count);

  // A write waiting in the group, with its file's lock.
  struct TPendingWrite {
    std::unique_ptr<hovrak::TFileLock> Lock;
    TPlanned Plan;
    int Index = 0;
    int Count = 0;
  };

  TBackup& store_;
  hovrak::TSaveGroup group_;
  std::vector<TPendingWrite> pending_;
  // The state of each file written back, by absolute path, for the new unit.
  std::map<std::string, TWrittenState> written_;
  // For a unit without records: 0 not asked yet, 1 allowed, -1 refused.
  int oldUnitVerdict_ = 0;
};
