#include "text/DisplayBytes.h"

namespace hovrak {

std::string DisplayBytes(const std::string& bytes) { return bytes; }

}  // namespace hovrak
