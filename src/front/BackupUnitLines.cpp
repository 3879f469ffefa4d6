#include "front/BackupUnitLines.h"

#include "backup/BackupUnit.h"
#include "front/TimeText.h"
#include "shared/MessageText.h"

namespace hovrak {

std::string BackupUnitLines(const std::vector<TPrunedUnit>& units, std::size_t listed) {
  std::string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (i == listed) {
      text += "  " + MessageText(TMsg::MoreCount, units.size() - listed) + "\n";
      break;
    }
    text += "  " + TimeText(units[i].Time);
    if (!units[i].BaseDir.empty()) text += "  " + units[i].BaseDir;
    text += "\n";
  }
  return text;
}

std::string BackupUnitLines(const std::vector<const TBackupUnit*>& units, std::size_t listed) {
  std::vector<TPrunedUnit> described;
  described.reserve(units.size());
  for (const TBackupUnit* unit : units) described.push_back(TPrunedUnit{unit->Name, unit->Time, unit->BaseDir});
  return BackupUnitLines(described, listed);
}

std::string PrunedUnitsText(const std::vector<TPrunedUnit>& pruned) {
  if (pruned.empty()) return std::string();
  std::string text = MessageText(TMsg::BackupPruned, pruned.size()) + "\n" + BackupUnitLines(pruned);
  text.pop_back();
  return text;
}

}  // namespace hovrak
