#pragma once
// What the replacing-pattern factory needs: the entered replacement string and the
// options that decide how it is read.

#include <cstdint>
#include <string>

struct TReplaceInfo {
  bool IsWide = true;     // build the wchar_t (UTF-16) pattern; false: bytes
  std::string Text;       // the replacement string as entered (UTF-8)
  std::uint8_t Mode = 0;  // the search mode: 0 normal, 1 word, 2 regular expression
  bool Escape = false;    // expand \n, \t, ... in modes 0 and 1
};
