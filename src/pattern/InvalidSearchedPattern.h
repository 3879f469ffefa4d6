#pragma once
// Raised when a search string does not compile (invalid regular expression, empty
// string, word-mode string of blanks).

#include <stdexcept>

class EInvalidSearchedPattern : public std::runtime_error {
 public:
  EInvalidSearchedPattern() : std::runtime_error("検索文字列が間違っています。") {}
};
