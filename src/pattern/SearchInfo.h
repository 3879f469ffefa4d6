#pragma once
// What the searched-pattern factory needs: the entered search string and the options
// that decide how it is compiled.

#include <cstdint>
#include <string>

struct TSearchInfo {
  bool IsWide = true;          // build the wchar_t (UTF-16) pattern; false: bytes
  std::string Text;            // the search string as entered (UTF-8)
  std::uint8_t Mode = 0;       // 0 normal, 1 word, 2 regular expression
  bool CaseSensitive = false;  // distinguish upper and lower case
  bool Escape = false;         // expand \n, \t, ... in modes 0 and 1
  bool ByLine = false;         // search each line by itself
  bool ShowLine = true;        // compute line numbers when searching the whole text
};
