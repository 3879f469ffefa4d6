#pragma once
// How mirun-cli answers the backup store's questions, for a replace and a restore
// alike: the size question is answered yes (and said on stderr), young units are never
// deleted, and a backup that could not be made in full is reported copy by copy and
// goes on only with --on-backup-error continue.

#include <cstdio>
#include <functional>
#include <string>

#include "backup/Backup.h"
#include "backup/BackupReport.h"

struct TBackupAnswers {
  std::FILE* Err = stderr;
  std::string SettingsPath;
  bool GoOnWithoutBackup = false;
  std::function<void()> ClearProgress;

  // Sets the store's size and deletion questions.
  void Install(TBackup& backup) const;
  // The answer to an incomplete backup.
  bool BackupFailed(const TBackupReport& report) const;
};
