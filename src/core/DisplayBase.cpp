#include "core/DisplayBase.h"

namespace hovrak {

std::string DisplayBase(const TStringVector&) { return std::string(); }

std::string ShortenPath(const std::string& path, const std::string&) { return path; }

}  // namespace hovrak
