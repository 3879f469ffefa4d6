#include "front/SizeQuestionText.h"

#include "backup/Backup.h"
#include "front/BackupUnitLines.h"

namespace hovrak {

std::string SizeQuestionText(std::uint64_t total, const std::vector<const TBackupUnit*>& doomed) {
  std::string text = "置換されるファイルの合計が" + TBackup::SizeText(total) + "あります。\n";
  if (!doomed.empty()) {
    // Pruning would otherwise take the undo history without a word.
    text += "次の古いバックアップ" + std::to_string(doomed.size()) + "件を削除して場所を空けます。\n";
    text += "削除したバックアップは元に戻せません。\n";
    text += BackupUnitLines(doomed);
  }
  return text + "バックアップしますか？";
}

}  // namespace hovrak
