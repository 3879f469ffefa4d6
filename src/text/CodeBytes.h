#pragma once
// Byte classes of the multi-byte encodings, shared by the conversion engines.

#include <cstddef>

namespace hovrak {

// EUC-JP lead bytes: 8E (half-width katakana) and the two-byte rows 90-9F, A1-FE.
// 8F (a JIS X 0212 character follows) is not among them.
constexpr bool IsEucLeadByte(unsigned char b) {
  return b == 0x8E || (b >= 0x90 && b <= 0x9F) || (b >= 0xA1 && b <= 0xFE);
}

// Shift-JIS (code page 932) lead and trail bytes.
constexpr bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsSjisTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Length of a UTF-8 sequence from its first byte, 1 to 6; 0 for a byte that
// cannot start one (a continuation byte, FE, FF).
constexpr std::size_t Utf8SequenceLength(unsigned char b) {
  return b < 0x80 ? 1 : b < 0xC0 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : b < 0xFC ? 5 : b < 0xFE ? 6 : 0;
}

// The value bits a first byte of a sequence of length n (1 to 6) keeps.
constexpr unsigned Utf8FirstByteMask(std::size_t n) {
  return n == 1 ? 0x7F : n == 2 ? 0x1F : n == 3 ? 0x0F : n == 4 ? 0x07 : n == 5 ? 0x03 : 0x01;
}

}  // namespace hovrak
