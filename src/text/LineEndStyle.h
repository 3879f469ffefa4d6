#pragma once
// The line ends a text holds, all of them rather than the first: whether every line
// ends the same way (LF, CR LF or a lone CR), in more than one way, or not at all.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/CharCode.h"

enum class TLineEndStyle : std::uint8_t {
  None = 0,  // no line end at all
  Lf = 1,
  CrLf = 2,
  Cr = 3,
  Mixed = 4,  // more than one of the three
};

// The style of a text in units (bytes or UTF-16 units): CR LF counts as one line end,
// a CR not followed by LF and an LF not preceded by CR as one each.
template <class C>
TLineEndStyle FindLineEndStyle(const C* text, std::size_t size);

// The style of a file's raw bytes as a reader of code sees them: UTF-16 bytes as
// little-endian units, every other code byte by byte (in Shift-JIS, EUC-JP and JIS
// neither CR nor LF is ever part of a character).
TLineEndStyle LineEndStyleOfBytes(std::string_view bytes, TCharCode code);

// "LF", "CR LF", "CR", "mixed" or "none".
const char* LineEndStyleText(TLineEndStyle style);

extern template TLineEndStyle FindLineEndStyle<char>(const char*, std::size_t);
extern template TLineEndStyle FindLineEndStyle<wchar_t>(const wchar_t*, std::size_t);
extern template TLineEndStyle FindLineEndStyle<char16_t>(const char16_t*, std::size_t);
