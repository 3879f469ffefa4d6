#pragma once
// Guesses the encoding of a byte string: byte-order marks, zero-byte patterns, JIS
// escape sequences, then a scoring race between Shift-JIS, EUC-JP and UTF-8 over a
// bounded window weighted by how common each decoded Japanese character is.

#include <cstddef>
#include <cstdint>

namespace hovrak {

enum class TEncoding : std::uint8_t {
  None,  // no bytes to look at
  ASCII,
  ShiftJIS,
  JIS,
  EUCJP,
  UTF8,
  UTF16BE,
  UTF16LE,
  UTF32BE,
  UTF32LE,
};

// Looks at no more than the first `limit` bytes (the head for byte-order marks is the
// first four bytes of the data) and scores at most 256 of them.
TEncoding analyze_encoding(const char* data, std::size_t size, std::size_t limit);

}  // namespace hovrak
