#include "core/SizeQuestionText.h"

#include "backup/Backup.h"
#include "core/BackupUnitLines.h"

namespace hovrak {

std::string SizeQuestionText(std::uint64_t total, const std::vector<const TBackupUnit*>& doomed) {
  std::string text = "置換されるファイルの合計が" + TBackup::SizeText(total) + "あります。\n";
  if (!doomed.empty()) {
    // Pruning would otherwise take the undo history without a word.
    text += "バックアップすると、場所を空けるために古いバックアップ" + std::to_string(doomed.size()) +
            "件が削除され、元に戻せなくなります。\n";
    text += BackupUnitLines(doomed);
  }
  return text + "バックアップしますか？";
}

}  // namespace hovrak
