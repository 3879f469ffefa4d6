#include "backup/SizeQuestionText.h"

#include "backup/Backup.h"

namespace hovrak {

std::string SizeQuestionText(std::uint64_t total) {
  return "置換されるファイルの合計が" + TBackup::SizeText(total) + "あります。\nバックアップしますか？";
}

}  // namespace hovrak
