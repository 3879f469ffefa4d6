#pragma once
// The line-end convention a text file was found to use; the text in memory always
// ends lines with LF alone and saving restores the convention.

#include <cstdint>

enum class TNewLineKind : std::uint8_t {
  CrLf = 0,
  Lf = 1,
  Cr = 2,
};
