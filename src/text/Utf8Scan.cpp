#include "text/Utf8Scan.h"

#include "platform/Utf8Sequence.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MIRUN_HAVE_AVX2_PATH 1
#endif

namespace hovrak {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

TUtf8Form ClassifyScalar(const char* data, std::size_t size);

#ifdef MIRUN_HAVE_AVX2_PATH

// 32 bytes at a time: every byte is checked against the one to three bytes before
// it with three 16-entry lookups (high nibble of the byte before, its low nibble,
// high nibble of the byte itself), each giving a set of error bits that must all
// agree for an error; continuation bytes after a three- or four-byte lead are
// checked apart.
namespace avx2 {

constexpr std::uint8_t kTooShort = 1 << 0;      // lead, then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;       // ASCII, then continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;     // E0 80-9F
constexpr std::uint8_t kTooLarge = 1 << 3;      // F4 90-BF, F5-FF
constexpr std::uint8_t kSurrogate = 1 << 4;     // ED A0-BF
constexpr std::uint8_t kOverlong2 = 1 << 5;     // C0, C1
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5-FF 80-8F
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0 80-8F
constexpr std::uint8_t kTwoConts = 1 << 7;      // continuation, then continuation
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("avx2"))) inline __m256i Table(std::uint8_t t0, std::uint8_t t1, std::uint8_t t2, std::uint8_t t3,
                                                     std::uint8_t t4, std::uint8_t t5, std::uint8_t t6, std::uint8_t t7,
                                                     std::uint8_t t8, std::uint8_t t9, std::uint8_t t10,
                                                     std::uint8_t t11, std::uint8_t t12, std::uint8_t t13,
                                                     std::uint8_t t14, std::uint8_t t15) {
  return _mm256_setr_epi8(t0, t1, t2, t3, t4, t5, t6, t7, t8, t9, t10, t11, t12, t13, t14, t15, t0, t1, t2, t3, t4, t5,
                          t6, t7, t8, t9, t10, t11, t12, t13, t14, t15);
}

__attribute__((target("avx2"))) inline __m256i HighNibbles(__m256i v) {
  return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

// The bytes of input shifted by n places, the last n bytes of prev coming in first.
template <int n>
__attribute__((target("avx2"))) inline __m256i Before(__m256i input, __m256i prev) {
  return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(prev, input, 0x21), 16 - n);
}

struct TChecker {
  __m256i error, prev, high;  // all zero to begin with

  __attribute__((target("avx2"))) void Check(__m256i input) {
    const __m256i prev1 = Before<1>(input, prev);
    const __m256i byte1High = _mm256_shuffle_epi8(
        Table(kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoConts, kTwoConts,
              kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
              kTooShort | kTooLarge | kTooLarge1000 | kOverlong4),
        HighNibbles(prev1));
    const __m256i byte1Low =
        _mm256_shuffle_epi8(Table(kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
                                  kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000,
                                  kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
                                  kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
                                  kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
                                  kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000 | kSurrogate,
                                  kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000),
                            _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)));
    const __m256i byte2High = _mm256_shuffle_epi8(
        Table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
              kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
              kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
              kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
              kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort, kTooShort),
        HighNibbles(input));
    const __m256i special = _mm256_and_si256(_mm256_and_si256(byte1High, byte1Low), byte2High);
    // A byte two after E0-FF or three after F0-FF must be a continuation byte: the
    // saturating subtraction leaves the top bit set exactly for those leads.
    const __m256i third = _mm256_subs_epu8(Before<2>(input, prev), _mm256_set1_epi8(char(0xE0 - 0x80)));
    const __m256i fourth = _mm256_subs_epu8(Before<3>(input, prev), _mm256_set1_epi8(char(0xF0 - 0x80)));
    const __m256i must = _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
    error = _mm256_or_si256(error, _mm256_xor_si256(must, special));
    high = _mm256_or_si256(high, input);
    prev = input;
  }
};

__attribute__((target("avx2"))) TUtf8Form Classify(const char* data, std::size_t size) {
  TChecker checker;
  checker.error = checker.prev = checker.high = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    checker.Check(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i)));
    // Stop early on an error now and then, so that a binary file is not read through.
    if ((i & 4095) == 0 && !_mm256_testz_si256(checker.error, checker.error)) return TUtf8Form::Malformed;
  }
  // The rest padded with zero bytes, at least one of them: a sequence cut at the end
  // then meets an ASCII byte and counts as too short.
  alignas(32) char tail[32] = {};
  std::memcpy(tail, data + i, size - i);
  checker.Check(_mm256_load_si256(reinterpret_cast<const __m256i*>(tail)));
  if (!_mm256_testz_si256(checker.error, checker.error)) return TUtf8Form::Malformed;
  return _mm256_movemask_epi8(checker.high) == 0 ? TUtf8Form::Ascii : TUtf8Form::Utf8;
}

}  // namespace avx2

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif

}  // namespace

TUtf8Form ClassifyUtf8(const char* data, std::size_t size) {
#ifdef MIRUN_HAVE_AVX2_PATH
  if (HasAvx2()) return avx2::Classify(data, size);
#endif
  return ClassifyScalar(data, size);
}

TUtf8Form ClassifyUtf8Scalar(const char* data, std::size_t size) { return ClassifyScalar(data, size); }

namespace {

TUtf8Form ClassifyScalar(const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  bool multi = false;
  while (p < end) {
    // Runs of ASCII go eight bytes at a time.
    if (*p < 0x80) {
      ++p;
      while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kHighBits) break;
        p += 8;
      }
      continue;
    }
    multi = true;
    const std::size_t n = Utf8SequenceLength(p, static_cast<std::size_t>(end - p));
    if (n == 0) return TUtf8Form::Malformed;
    p += n;
  }
  return multi ? TUtf8Form::Utf8 : TUtf8Form::Ascii;
}

}  // namespace

std::size_t Utf16Length(const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  // Every byte but a continuation byte starts a character; F0-F4 start one that
  // takes a surrogate pair.
  std::size_t units = 0, i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time, as signed bytes: continuation bytes are -128..-65, the
  // first bytes of four-byte sequences -16..-1.
  const __m128i lastContinuation = _mm_set1_epi8(-65), beforeFour = _mm_set1_epi8(-17);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= size; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned starts = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(v, lastContinuation)));
    const unsigned fours =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(v, beforeFour), _mm_cmplt_epi8(v, zero))));
    units += static_cast<std::size_t>(__builtin_popcount(starts) + __builtin_popcount(fours));
  }
#endif
  for (; i < size; ++i) units += static_cast<std::size_t>(!IsUtf8Continuation(p[i])) + (p[i] >= 0xF0);
  return units;
}

}  // namespace hovrak
