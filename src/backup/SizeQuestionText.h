#pragma once
// The text of the question asked before a backup that alone reaches the size limit.

#include <cstdint>
#include <string>

namespace hovrak {

// "置換されるファイルの合計が" + size + "あります。" LF "バックアップしますか？"
std::string SizeQuestionText(std::uint64_t total);

}  // namespace hovrak
