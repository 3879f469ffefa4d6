#pragma once
// The backup units as mirun-cli's --list-backups shows them: one line per unit of
// tab-separated fields (name, time, base folder, file count, size, and when it was
// restored), with the control characters of names escaped so that every unit stays
// one line of the same fields; and the unit a name typed back names.

#include <string>

class TBackup;
class TBackupUnit;

namespace hovrak {

// The unit's line, without a line end.
std::string BackupListLine(const TBackupUnit& unit);

// The unit of that name, or of the name the list shows escaped; null when none.
const TBackupUnit* FindListedUnit(const TBackup& backup, const std::string& name);

}  // namespace hovrak
