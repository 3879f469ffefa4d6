#pragma once
// Where the backup index lives between runs, shared with other processes that may
// make or prune units at the same time: every change is made on the index as it is
// on disk now, under a lock, and written back at once.

#include <functional>

class TBackup;

class TBackupIndexStore {
 public:
  virtual ~TBackupIndexStore() = default;

  // Locks the index against other processes, replaces backup's unit list by the one
  // stored now (through TBackup::ReadUnits; the list stays as it is when nothing is
  // stored yet), runs change, writes backup's block back and unlocks. Returns 0, or an
  // errno value when the index could not be locked, read or written; change does not
  // run when locking or reading failed.
  virtual int Update(TBackup& backup, const std::function<void()>& change) = 0;
};
