#pragma once
// Exact substring search over bytes or UTF-16 units: a vector scan for candidates
// by first and last unit; for wide needles too long for it to pay,
// Boyer-Moore-Horspool with a bad-character table keyed by the low byte of each unit
// (a shared slot keeps the smallest shift, so no hit is skipped); a memchr-style
// scan for one-unit needles.

#include <array>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>

#include "pattern/VectorScan.h"

template <class C>
class TSubstringFinder {
 public:
  explicit TSubstringFinder(std::basic_string<C> needle) : needle_(std::move(needle)) {
    const std::size_t m = needle_.size();
    shift_.fill(m);
    for (std::size_t i = 0; i + 1 < m; ++i) shift_[Slot(needle_[i])] = m - 1 - i;
  }

  const std::basic_string<C>& Needle() const { return needle_; }

  // Offset of the first occurrence at or after from, or npos.
  std::size_t Find(std::basic_string_view<C> text, std::size_t from) const {
    const std::size_t m = needle_.size();
    const std::size_t n = text.size();
    if (m == 0 || from > n || n - from < m) return npos;
    const C* const base = text.data();
    if (m == 1) return FindUnit(base, from, n, needle_[0]);
    if constexpr (sizeof(C) == 1) {
      // Bytes go by the vector scan, which beats skipping on short needles.
      const std::size_t at = hovrak::FindBytes(base + from, n - from, needle_.data(), m);
      return at == n - from ? npos : from + at;
    } else if (m <= kVectorUnits) {
      const std::size_t at = hovrak::FindUnits(base + from, n - from, needle_.data(), m);
      return at == n - from ? npos : from + at;
    }
    const C* const pat = needle_.data();
    const C last = pat[m - 1];
    std::size_t pos = from;
    const std::size_t end = n - m;
    while (pos <= end) {
      const C c = base[pos + m - 1];
      if (c == last && Equal(base + pos, pat, m - 1)) return pos;
      pos += shift_[Slot(c)];
    }
    return npos;
  }

  static constexpr std::size_t npos = std::basic_string_view<C>::npos;
  // Wide needles up to this long go by the vector scan; longer ones skip further.
  static constexpr std::size_t kVectorUnits = 32;

 private:
  static std::size_t Slot(C c) { return static_cast<std::size_t>(c) & 0xFF; }

  static bool Equal(const char* a, const char* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }
  static bool Equal(const wchar_t* a, const wchar_t* b, std::size_t n) { return std::wmemcmp(a, b, n) == 0; }

  static std::size_t FindUnit(const char* base, std::size_t from, std::size_t n, char c) {
    const void* hit = std::memchr(base + from, c, n - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : npos;
  }
  static std::size_t FindUnit(const wchar_t* base, std::size_t from, std::size_t n, wchar_t c) {
    const wchar_t* hit = std::wmemchr(base + from, c, n - from);
    return hit ? static_cast<std::size_t>(hit - base) : npos;
  }

  std::basic_string<C> needle_;
  std::array<std::size_t, 256> shift_{};
};
