#pragma once
// The settings written at a normal exit of the desktop program without losing the
// backup units another process (mirun-cli, a second window) entered into the index
// since this process read it: the units on disk and the ones only this process knows
// are merged under the index lock before the whole file is written.

#include <functional>

#include "backup/Backup.h"

class TBackupIndexStore;

namespace hovrak {

// Moves each unit of known whose name is not in units into units, then orders units
// by time (stable, so units of one second keep their order). A unit named in both
// stays as units has it; its copy in known is left where it is.
void MergeKnownUnits(TBackup::TUnitList& units, TBackup::TUnitList& known);

// Under index's lock, backup's unit list becomes the one on disk merged with the
// units backup held before (MergeKnownUnits), and save writes the whole file. When
// the index cannot be locked or read, backup keeps the units it knew and save runs
// once more without the lock, each unit listed once. Returns what the last save
// returned.
bool SaveSettingsKeepingUnits(TBackup& backup, TBackupIndexStore& index, const std::function<bool()>& save);

}  // namespace hovrak
