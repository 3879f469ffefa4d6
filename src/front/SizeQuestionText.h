#pragma once
// The text of the question asked before a backup that alone reaches the size limit,
// naming the older units that will be deleted to make room for it.

#include <cstdint>
#include <string>
#include <vector>

class TBackupUnit;

namespace hovrak {

// "置換されるファイルの合計が" + size + "あります。" LF, then, when older units are to
// go, how many and which, and "バックアップしますか？".
std::string SizeQuestionText(std::uint64_t total, const std::vector<const TBackupUnit*>& doomed = {});

}  // namespace hovrak
