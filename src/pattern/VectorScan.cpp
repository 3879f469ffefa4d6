#include "pattern/VectorScan.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hovrak {

namespace {

bool SameMiddle(const char* a, const char* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }
bool SameMiddle(const wchar_t* a, const wchar_t* b, std::size_t n) { return std::wmemcmp(a, b, n) == 0; }

// The search shared by bytes and wide units. candidates(i) gives a bit mask of the
// starts i, i + 1, ... i + lanes - 1 whose first and last units match (lanes 0: no
// vector form); each candidate is then compared whole, and the starts left over go
// one by one.
template <class C, class Candidates>
std::size_t Find(const C* text, std::size_t n, const C* needle, std::size_t m, std::size_t lanes,
                 Candidates candidates) {
  if (m > n) return n;
  const std::size_t last = n - m;  // the last possible start
  std::size_t i = 0;
  if (lanes != 0) {
    for (; i + lanes <= last + 1; i += lanes) {
      for (unsigned mask = candidates(i); mask != 0; mask &= mask - 1) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
        if (SameMiddle(text + at + 1, needle + 1, m - 2)) return at;
      }
    }
  }
  for (; i <= last; ++i)
    if (text[i] == needle[0] && text[i + m - 1] == needle[m - 1] && SameMiddle(text + i + 1, needle + 1, m - 2))
      return i;
  return n;
}

#if defined(__SSE2__)
// One vector of sixteen bytes or of four 32-bit wide units: a unit in every lane,
// lanes compared, and a bit per lane.
struct TByteLanes {
  static constexpr std::size_t kCount = 16;
  static __m128i Splat(char c) { return _mm_set1_epi8(c); }
  static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
  static unsigned Mask(__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }
};
struct TUnitLanes {
  static constexpr std::size_t kCount = 4;
  static __m128i Splat(wchar_t c) { return _mm_set1_epi32(static_cast<int>(c)); }
  static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
  static unsigned Mask(__m128i v) { return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(v))); }
};

template <class C>
__m128i Load(const C* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Find with candidates whose first and last units match, a vector at a time.
template <class L, class C>
std::size_t FindByEnds(const C* text, std::size_t n, const C* needle, std::size_t m) {
  const __m128i first = L::Splat(needle[0]);
  const __m128i final = L::Splat(needle[m - 1]);
  return Find(text, n, needle, m, L::kCount, [&](std::size_t i) {
    return L::Mask(_mm_and_si128(L::Equal(Load(text + i), first), L::Equal(Load(text + i + m - 1), final)));
  });
}

// The first i from i on, a vector at a time, with text[i] one of a and text[i + gap]
// one of b (up to four each); n when none. i is left where the vectors stop.
template <class L, class C>
std::size_t FindUnitPairVector(const C* text, std::size_t n, std::size_t& i, const C* a, int na, std::size_t gap,
                               const C* b, int nb) {
  __m128i as[4], bs[4];
  for (int k = 0; k < na; ++k) as[k] = L::Splat(a[k]);
  for (int k = 0; k < nb; ++k) bs[k] = L::Splat(b[k]);
  for (; i + gap + L::kCount <= n; i += L::kCount) {
    const __m128i x = Load(text + i), y = Load(text + i + gap);
    __m128i hitA = L::Equal(x, as[0]);
    for (int k = 1; k < na; ++k) hitA = _mm_or_si128(hitA, L::Equal(x, as[k]));
    __m128i hitB = L::Equal(y, bs[0]);
    for (int k = 1; k < nb; ++k) hitB = _mm_or_si128(hitB, L::Equal(y, bs[k]));
    const unsigned mask = L::Mask(_mm_and_si128(hitA, hitB));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return n;
}
#endif

}  // namespace

std::size_t FindBytes(const char* text, std::size_t n, const char* needle, std::size_t m) {
#if defined(__SSE2__)
  return FindByEnds<TByteLanes>(text, n, needle, m);
#else
  return Find(text, n, needle, m, 0, [](std::size_t) { return 0u; });
#endif
}

std::size_t FindUnits(const wchar_t* text, std::size_t n, const wchar_t* needle, std::size_t m) {
#if defined(__SSE2__) && __SIZEOF_WCHAR_T__ == 4
  return FindByEnds<TUnitLanes>(text, n, needle, m);
#else
  return Find(text, n, needle, m, 0, [](std::size_t) { return 0u; });
#endif
}

namespace {

template <class C>
bool OneOf(C c, const C* set, int count) {
  for (int k = 0; k < count; ++k)
    if (set[k] == c) return true;
  return false;
}

template <class C>
std::size_t FindUnitPairScalar(const C* text, std::size_t n, std::size_t i, const C* a, int na, std::size_t gap,
                               const C* b, int nb) {
  for (; i + gap < n; ++i)
    if (OneOf(text[i], a, na) && OneOf(text[i + gap], b, nb)) return i;
  return n;
}

}  // namespace

std::size_t FindUnitPair(const char* text, std::size_t n, std::size_t from, const char* a, int na, std::size_t gap,
                         const char* b, int nb) {
  std::size_t i = from;
#if defined(__SSE2__)
  const std::size_t at = FindUnitPairVector<TByteLanes>(text, n, i, a, na, gap, b, nb);
  if (at != n) return at;
#endif
  return FindUnitPairScalar(text, n, i, a, na, gap, b, nb);
}

std::size_t FindUnitPair(const wchar_t* text, std::size_t n, std::size_t from, const wchar_t* a, int na,
                         std::size_t gap, const wchar_t* b, int nb) {
  std::size_t i = from;
#if defined(__SSE2__) && __SIZEOF_WCHAR_T__ == 4
  const std::size_t at = FindUnitPairVector<TUnitLanes>(text, n, i, a, na, gap, b, nb);
  if (at != n) return at;
#endif
  return FindUnitPairScalar(text, n, i, a, na, gap, b, nb);
}

std::size_t FindAnyEnds(const char* text, std::size_t n, std::size_t from, const TByteEnds* ends, int count) {
  std::size_t i = from;
  std::size_t widest = 0;
  for (int k = 0; k < count; ++k) widest = std::max(widest, ends[k].Gap);
#if defined(__SSE2__)
  __m128i firsts[8], lasts[8];
  for (int k = 0; k < count; ++k) {
    firsts[k] = _mm_set1_epi8(ends[k].First);
    lasts[k] = _mm_set1_epi8(ends[k].Last);
  }
  for (; i + widest + 16 <= n; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    __m128i hit = _mm_setzero_si128();
    for (int k = 0; k < count; ++k) {
      const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + ends[k].Gap));
      hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(x, firsts[k]), _mm_cmpeq_epi8(y, lasts[k])));
    }
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  for (; i < n; ++i)
    for (int k = 0; k < count; ++k)
      if (i + ends[k].Gap < n && text[i] == ends[k].First && text[i + ends[k].Gap] == ends[k].Last) return i;
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
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  return count + static_cast<std::size_t>(std::count(data + i, data + n, byte));
}

}  // namespace hovrak
