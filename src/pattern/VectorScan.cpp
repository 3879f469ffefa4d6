#include "pattern/VectorScan.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hovrak {

std::size_t FindBytes(const char* text, std::size_t n, const char* needle, std::size_t m) {
  if (m > n) return n;
  const std::size_t last = n - m;  // the last possible start
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen starts at a time: those whose first and last bytes both match are
  // candidates, compared whole.
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i final = _mm_set1_epi8(needle[m - 1]);
  for (; i + 16 <= last + 1; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + m - 1));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
    while (mask != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (std::memcmp(text + at + 1, needle + 1, m - 2) == 0) return at;
      mask &= mask - 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (text[i] == needle[0] && text[i + m - 1] == needle[m - 1] && std::memcmp(text + i + 1, needle + 1, m - 2) == 0)
      return i;
  return n;
}

std::size_t FindUnits(const wchar_t* text, std::size_t n, const wchar_t* needle, std::size_t m) {
  if (m > n) return n;
  const std::size_t last = n - m;
  std::size_t i = 0;
#if defined(__SSE2__) && __SIZEOF_WCHAR_T__ == 4
  // Four starts at a time, as for bytes.
  const __m128i first = _mm_set1_epi32(static_cast<int>(needle[0]));
  const __m128i final = _mm_set1_epi32(static_cast<int>(needle[m - 1]));
  for (; i + 4 <= last + 1; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + m - 1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_and_si128(_mm_cmpeq_epi32(a, first), _mm_cmpeq_epi32(b, final)))));
    while (mask != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (std::wmemcmp(text + at + 1, needle + 1, m - 2) == 0) return at;
      mask &= mask - 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (text[i] == needle[0] && text[i + m - 1] == needle[m - 1] && std::wmemcmp(text + i + 1, needle + 1, m - 2) == 0)
      return i;
  return n;
}

std::size_t CountByte(const char* data, std::size_t n, char byte) {
  std::size_t count = 0, i = 0;
#if defined(__SSE2__)
  // Matches counted in sixteen byte lanes (each match subtracts -1), summed before a
  // lane can overflow.
  const __m128i want = _mm_set1_epi8(byte);
  while (i + 16 <= n) {
    __m128i lanes = _mm_setzero_si128();
    const std::size_t stop = std::min(n - 15, i + 255 * 16);
    for (; i < stop; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, want));
    }
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  return count + static_cast<std::size_t>(std::count(data + i, data + n, byte));
}

}  // namespace hovrak
