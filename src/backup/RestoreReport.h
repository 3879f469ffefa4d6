#pragma once
// What a restore of one backup unit did: how many files went back, which were left
// and why, and the unit that now holds the files the restore overwrote.

#include <cstddef>
#include <string>
#include <vector>

#include "backup/BackupReport.h"

struct TRestoreReport {
  // The unit is in the index; nothing else below is set when it is not.
  bool Found = false;
  // The unit was restored before and restoring it again was not confirmed.
  bool RestoredBefore = false;
  // A stop or an Abort ended the restore; every file is either back or untouched.
  bool Stopped = false;
  // Files written back from their copies.
  std::size_t Restored = 0;
  // Files that already held their copy's bytes and were left as they are.
  std::size_t Unchanged = 0;
  // Files left as they are by a Skip decision.
  std::vector<std::string> Skipped;
  // Copy names whose original path cannot be told safely; nothing is written for them.
  std::vector<std::string> Refused;
  // Files whose copy is gone or is not a plain file inside the unit (Path: the file).
  std::vector<TBackupFailure> MissingCopies;
  // Files whose copy is no longer as it was made (cut short, changed): nothing is
  // written from it, not even when forced.
  std::vector<std::string> DamagedCopies;
  // Files behind a folder that is a symbolic link or no folder, which a restore
  // never follows.
  std::vector<std::string> Unreachable;
  // The unit holds no records (made by an older version) and writing its copies
  // was not confirmed, or its base folder is the root or lies outside the user's own
  // folders and was not named as allowed: its files were left as they are.
  bool OldUnitDeclined = false;
  bool BaseRefused = false;
  // Files that could not be written back (Path: the file).
  std::vector<TBackupFailure> WriteFailures;
  // The backup of the files about to be overwritten, made before any was.
  TBackupReport Backup;
  // That backup was incomplete and going on was not agreed: nothing was written.
  bool BackupFailed = false;
  // errno value when the index could not be kept (0: kept).
  int IndexError = 0;

  // True when every file of the unit is back, or was left by the user's choice.
  bool Complete() const {
    return Found && !RestoredBefore && !Stopped && !BackupFailed && Refused.empty() && MissingCopies.empty() &&
           DamagedCopies.empty() && Unreachable.empty() && !OldUnitDeclined && !BaseRefused && WriteFailures.empty() &&
           IndexError == 0;
  }
};
