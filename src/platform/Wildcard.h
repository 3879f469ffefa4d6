#pragma once
// File-name wildcard matching for folder listings: "*" matches any run of
// characters, "?" exactly one, ASCII letters match either case, and "*.*" matches
// every name, also names without a dot.

#include <string>

namespace hovrak {

// Characters are UTF-8 sequences; a byte that does not start a valid sequence counts
// as one character, so names with invalid bytes still match.
bool MatchWildcard(const std::string& pattern, const std::string& name);

}  // namespace hovrak
