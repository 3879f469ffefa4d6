#pragma once
// The folder against which the windows shorten the paths they show (progress texts,
// the result list's file column), and the shortening itself.

#include <string>

#include "shared/StringVector.h"

namespace hovrak {

// For no paths "", when the first path is an existing folder that path, otherwise
// the longest common byte prefix of all paths cut back to its folder part (a
// trailing '/' removed when the prefix ends with one, else the text before the
// last '/').
std::string DisplayBase(const TStringVector& paths);

// path without as many leading bytes as base has once a '/' is appended to a base
// that lacks one; the whole path when the base is empty or longer than the path.
// The leading bytes are not compared.
std::string ShortenPath(const std::string& path, const std::string& base);

}  // namespace hovrak
