#pragma once
// The byte rule of UTF-8, in one place for every loop that walks UTF-8 text: how
// many bytes a sequence takes from its first byte, and when a sequence is well
// formed (no overlong form, no surrogate, nothing past U+10FFFF, nothing cut off).
// Header-only and constexpr, so the callers' loops keep their speed.

#include <array>
#include <cstddef>
#include <cstdint>

namespace hovrak {

// True for a continuation byte (10xxxxxx).
constexpr bool IsUtf8Continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// What a first byte asks: the length of its sequence (1 for ASCII, 0 for a byte that
// begins none: a continuation byte, C0, C1, F5-FF) and the range allowed for the
// second byte, which keeps out overlong forms (E0, F0), surrogates (ED) and values
// past U+10FFFF (F4).
struct TUtf8Lead {
  std::uint8_t Length;
  std::uint8_t SecondLow;
  std::uint8_t SecondHigh;
};

namespace utf8_detail {

constexpr TUtf8Lead LeadOf(int b) {
  if (b < 0x80) return {1, 0, 0};
  if (b < 0xC2) return {0, 0, 0};
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b < 0xF0)
    return {3, static_cast<std::uint8_t>(b == 0xE0 ? 0xA0 : 0x80), static_cast<std::uint8_t>(b == 0xED ? 0x9F : 0xBF)};
  if (b < 0xF5)
    return {4, static_cast<std::uint8_t>(b == 0xF0 ? 0x90 : 0x80), static_cast<std::uint8_t>(b == 0xF4 ? 0x8F : 0xBF)};
  return {0, 0, 0};
}

constexpr std::array<TUtf8Lead, 256> MakeLeads() {
  std::array<TUtf8Lead, 256> leads{};
  for (int b = 0; b < 256; ++b) leads[static_cast<std::size_t>(b)] = LeadOf(b);
  return leads;
}

inline constexpr std::array<TUtf8Lead, 256> kLeads = MakeLeads();

}  // namespace utf8_detail

constexpr TUtf8Lead Utf8LeadOf(unsigned char b) { return utf8_detail::kLeads[b]; }

// Bytes of the sequence b begins, whether or not the bytes after it complete it:
// 1 for ASCII, 2 to 4, 0 for a byte that begins none.
constexpr std::size_t Utf8LeadLength(unsigned char b) { return Utf8LeadOf(b).Length; }

// Length of the well-formed sequence at p, of which left bytes are there: 1 for an
// ASCII byte, 2 to 4, or 0 when the bytes there are no well-formed sequence. Each
// length is returned from a branch of its own, so that a caller's loop, once this is
// inlined, steps on by a constant and need not wait for the bytes to be checked.
constexpr std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t left) {
  if (p[0] < 0x80) return 1;
  const TUtf8Lead lead = Utf8LeadOf(p[0]);
  const bool secondFits = left >= 2 && p[1] >= lead.SecondLow && p[1] <= lead.SecondHigh;
  switch (lead.Length) {
    case 3: return secondFits && left >= 3 && IsUtf8Continuation(p[2]) ? 3 : 0;  // most Japanese text
    case 2: return secondFits ? 2 : 0;
    case 4: return secondFits && left >= 4 && IsUtf8Continuation(p[2]) && IsUtf8Continuation(p[3]) ? 4 : 0;
    default: return 0;
  }
}

inline std::size_t Utf8SequenceLength(const char* p, std::size_t left) {
  return Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p), left);
}

// The code point of the well-formed sequence of length n (from Utf8SequenceLength) at p.
constexpr char32_t Utf8CodePoint(const unsigned char* p, std::size_t n) {
  switch (n) {
    case 3: return static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
    case 2: return static_cast<char32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
    case 4:
      return static_cast<char32_t>((p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F));
    default: return p[0];
  }
}

}  // namespace hovrak
