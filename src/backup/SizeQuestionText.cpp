#include "backup/SizeQuestionText.h"

namespace hovrak {

std::string SizeQuestionText(std::uint64_t) { return std::string(); }

}  // namespace hovrak
