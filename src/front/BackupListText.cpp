#include "front/BackupListText.h"

#include "backup/Backup.h"
#include "backup/BackupUnit.h"
#include "platform/EscapedText.h"
#include "settings/KELString.h"

namespace hovrak {

namespace {

std::string TimeField(const boost::posix_time::ptime& time) { return TKELString(time).Text(); }

}  // namespace

std::string BackupListLine(const TBackupUnit& unit) {
  std::string line = EscapeControls(unit.Name) + "\t" + TimeField(unit.Time) + "\t" + EscapeControls(unit.BaseDir) +
                     "\t" + std::to_string(unit.Files.size()) + (unit.Files.size() == 1 ? " file\t" : " files\t") +
                     TBackup::SizeText(unit.Size);
  if (!unit.Restored.is_special()) line += "\trestored " + TimeField(unit.Restored);
  return line;
}

const TBackupUnit* FindListedUnit(const TBackup& backup, const std::string& name) {
  if (const TBackupUnit* unit = backup.FindUnit(name)) return unit;
  std::string unescaped;
  return UnescapeControls(name, unescaped) ? backup.FindUnit(unescaped) : nullptr;
}

}  // namespace hovrak
