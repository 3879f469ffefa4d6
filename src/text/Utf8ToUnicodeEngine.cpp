#include "text/Utf8ToUnicodeEngine.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && __SIZEOF_WCHAR_T__ == 4
#include <immintrin.h>
#define MIRUN_HAVE_SSSE3_DECODE
#endif

#include "text/CodeBytes.h"

namespace hovrak {

namespace {

// One character from p (which is before end); false, with nothing taken, when its
// sequence is cut by end and so waits for more bytes.
__attribute__((always_inline)) inline bool DecodeOne(const unsigned char*& p, const unsigned char* end, wchar_t*& out) {
  const unsigned char b = *p;
  if (b < 0x80) {
    *out++ = b;
    ++p;
    return true;
  }
  const std::size_t n = Utf8SequenceLength(b);
  if (n == 0) {
    *out++ = L'?';
    ++p;
    return true;
  }
  if (static_cast<std::size_t>(end - p) < n) return false;
  if (n == 3) {
    *out++ = static_cast<wchar_t>((b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
    p += 3;
    return true;
  }
  std::uint32_t value = b & Utf8FirstByteMask(n);
  for (std::size_t i = 1; i < n; ++i) value = value << 6 | (p[i] & 0x3Fu);
  if (value <= 0xFFFF) {
    *out++ = static_cast<wchar_t>(value);
  } else if (value > 0x10FFFF) {
    *out++ = L'?';
  } else {
    *out++ = static_cast<wchar_t>(0xD800 | ((value - 0x10000) >> 10));
    *out++ = static_cast<wchar_t>(0xDC00 | (value & 0x3FF));
  }
  p += n;
  return true;
}

// Eight ASCII bytes at once, when the eight from p (which are there) are all ASCII.
__attribute__((always_inline)) inline bool TakeAscii8(const unsigned char*& p, wchar_t*& out) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  if (word & 0x8080808080808080ull) return false;
  for (int k = 0; k < 8; ++k) out[k] = p[k];
  p += 8;
  out += 8;
  return true;
}

// Decodes until out reaches full (a step writes at most sixteen units) or the bytes
// end; true when a cut sequence at the end waits for more bytes. Runs of ASCII go
// eight bytes at a time.
bool DecodeScalar(const unsigned char*& from, const unsigned char* end, wchar_t*& to, wchar_t* full) {
  const unsigned char* p = from;
  wchar_t* out = to;
  bool stopped = false;
  while (p < end && out < full) {
    if (end - p >= 8 && TakeAscii8(p, out)) continue;
    if (!DecodeOne(p, end, out)) {
      stopped = true;
      break;
    }
  }
  from = p;
  to = out;
  return stopped;
}

#ifdef MIRUN_HAVE_SSSE3_DECODE
// The same with four three-byte sequences in a row at a time (the bytes after a
// first byte E0-EF are taken as they are, as DecodeOne does). Only whole groups of
// four go at once: a fixed step keeps the next load independent of this one.
__attribute__((target("ssse3"))) bool DecodeVector(const unsigned char*& from, const unsigned char* end, wchar_t*& to,
                                                   wchar_t* full) {
  static_assert(sizeof(wchar_t) == 4, "four units fill one vector");
  const __m128i highNibble = _mm_set1_epi8(static_cast<char>(0xF0));
  const __m128i threeByteStart = _mm_set1_epi8(static_cast<char>(0xE0));
  // Each 32-bit lane gets third byte, second byte, first byte, zero.
  const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
  const unsigned char* p = from;
  wchar_t* out = to;
  while (end - p >= 16 && out < full) {
    if (*p < 0x80) {
      if (!TakeAscii8(p, out)) DecodeOne(p, end, out);
      continue;
    }
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned starts =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, highNibble), threeByteStart)));
    if ((starts & 0x249) != 0x249) {
      DecodeOne(p, end, out);
      continue;
    }
    const __m128i lanes = _mm_shuffle_epi8(bytes, order);
    const __m128i units = _mm_or_si128(_mm_or_si128(_mm_and_si128(lanes, _mm_set1_epi32(0x3F)),
                                                    _mm_and_si128(_mm_srli_epi32(lanes, 2), _mm_set1_epi32(0xFC0))),
                                       _mm_and_si128(_mm_srli_epi32(lanes, 4), _mm_set1_epi32(0xF000)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    p += 12;
    out += 4;
  }
  from = p;
  to = out;
  return DecodeScalar(from, end, to, full);
}

const bool hasSsse3 = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
#else
constexpr bool hasSsse3 = false;
bool DecodeVector(const unsigned char*& from, const unsigned char* end, wchar_t*& to, wchar_t* full) {
  return DecodeScalar(from, end, to, full);
}
#endif

}  // namespace

// Decodes into a local block appended to the output as it fills, so the output
// grows only by what is written (its reserved room is never touched, and so never
// made resident).
std::size_t utf8_to_unicode_engine::translate_range(const char* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size);
  constexpr std::size_t kBlock = 4096;
  wchar_t block[kBlock];
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  bool stopped = false;
  while (p < end && !stopped) {
    wchar_t* out = block;
    wchar_t* const full = block + kBlock - 16;  // one step writes at most sixteen units
    stopped = hasSsse3 ? DecodeVector(p, end, out, full) : DecodeScalar(p, end, out, full);
    translated_buffer.append(block, static_cast<std::size_t>(out - block));
  }
  return static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(data));
}

}  // namespace hovrak
