#pragma once
// The backup index kept in the settings file's Backup block, shared by processes
// that run at the same time: each change is made on the block as it is on disk now,
// under an exclusive lock on a lock file beside the settings file.

#include <functional>
#include <string>

#include "backup/BackupIndexStore.h"

class TSettingsBackupIndex : public TBackupIndexStore {
 public:
  // The lock file is "<path>.lock": the settings file itself is replaced by rename
  // on every save, so a lock on it would not hold across saves. The lock file is
  // made (mode 0600) when missing and never removed, since a process could be
  // waiting on it.
  explicit TSettingsBackupIndex(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // Locks, reads the settings file (a missing file stores nothing), lets backup read
  // the units of its Backup block, runs change, writes backup's block back as
  // TSettingsFile::SaveBlock does and unlocks. 0, or an errno value; change does
  // not run when locking or reading failed.
  int Update(TBackup& backup, const std::function<void()>& change) override;

 private:
  std::string path_;
};
