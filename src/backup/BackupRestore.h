#pragma once
// Puts the copies of one backup unit back where they came from: the undo of a
// replace. Files someone changed, deleted or moved since the replace are written
// only when the user says so; the files about to be overwritten are backed up first
// into a new unit, so that the restore itself can be undone.

#include <map>
#include <string>
#include <vector>

#include <boost/function.hpp>

#include "backup/RestoreProblem.h"
#include "backup/RestoreReport.h"
#include "backup/WrittenState.h"
#include "core/Decision.h"
#include "core/ProcessType.h"
#include "platform/FileIdentity.h"

class TBackup;
class TBackupUnit;

class TBackupRestore {
 public:
  // The store whose unit is restored; its index store (when set) keeps the index
  // consistent with other processes.
  explicit TBackupRestore(TBackup& store) : store_(store) {}

  // Progress: Searching while the files are checked, BackingUp while the files about
  // to be overwritten are copied, Replacing while the copies go back. May raise
  // EStoppedException to stop.
  TProcessEvent OnProcess;
  // Asks about a file that failed a check (Problem and LastError say which):
  // ModifiedSinceSearch for Modified and NotRecorded, OpenFailed for Missing,
  // FolderMissing and WriteFailed. Retry checks again, Skip leaves the file, Force
  // writes it anyway (creating its folder when gone; for a failed write Force leaves
  // it like Skip), Abort stops. Unset: Skip.
  TFileErrorEvent OnFileError;
  // Asks whether to restore a unit already restored once. Unset: no.
  boost::function<bool(const TBackupUnit&)> OnConfirmAgain;
  // Asks whether to go on when the backup of the files about to be overwritten is
  // incomplete. Unset or false: nothing is written.
  boost::function<bool(const TBackupReport&)> OnBackupFailed;

  // What OnFileError is being asked about, and the system error behind it (0: none).
  TRestoreProblem Problem = TRestoreProblem::Modified;
  int LastError = 0;

  // Restores the unit of that name. A stop or Abort ends it with Stopped set in the
  // report; the index records the restore and what was written so far.
  TRestoreReport Run(const std::string& name);

 private:
  enum class TVerdict { Write, Unchanged, Skip };
  struct TPlanned {
    std::size_t Entry = 0;
    std::string Target;
    hovrak::TFileIdentity Expected;  // the file as checked; not known when missing
    bool CreateFolders = false;
  };

  // Compares the file at the target with its copy and the recorded state, asking
  // when they disagree.
  TVerdict Check(const TBackupUnit& unit, const std::string& copy, TPlanned& plan);
  // Writes one planned file back, checking again when it changed since the check.
  void WriteBack(const TBackupUnit& unit, TPlanned plan, int index, int count, TRestoreReport& report);
  TDecision Ask(const std::string& path, TRestoreProblem problem, int error);
  void Progress(TProcessType type, const std::string& path, int index, int count);

  TBackup& store_;
  // The state of each file written back, by absolute path, for the new unit.
  std::map<std::string, TWrittenState> written_;
};
