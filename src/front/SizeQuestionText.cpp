#include "front/SizeQuestionText.h"

#include "backup/Backup.h"
#include "front/BackupUnitLines.h"
#include "shared/MessageText.h"

namespace hovrak {

std::string SizeQuestionText(std::uint64_t total, const std::vector<const TBackupUnit*>& doomed) {
  std::string text = MessageText(TMsg::BackupSizeTotal, TBackup::SizeText(total)) + "\n";
  if (!doomed.empty()) {
    // Pruning would otherwise take the undo history without a word.
    text += MessageText(TMsg::BackupPruneCount, doomed.size()) + "\n";
    text += MessageTable(TMsg::BackupPruneLost);
    text += "\n";
    text += BackupUnitLines(doomed);
  }
  return text + MessageTable(TMsg::BackupQuestion);
}

}  // namespace hovrak
