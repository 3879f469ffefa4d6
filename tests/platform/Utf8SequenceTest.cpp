#include <gtest/gtest.h>

#include "platform/Utf8Sequence.h"
#include "text/Utf8Scan.h"

namespace {

// The rule from its definition: the length the lead byte's high bits give, the code
// point the bytes spell, well formed when it takes no more bytes than it needs and is
// no surrogate nor past U+10FFFF. 0 for anything else.
std::size_t ReferenceLength(const unsigned char* p, std::size_t left, char32_t& cp) {
  const unsigned char b = p[0];
  const std::size_t n = b < 0x80                ? 1
                        : b >= 0xC0 && b < 0xE0 ? 2
                        : b >= 0xE0 && b < 0xF0 ? 3
                        : b >= 0xF0 && b < 0xF8 ? 4
                                                : 0;
  if (n == 0 || left < n) return 0;
  cp = n == 1 ? b : b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

TEST(Utf8Sequence, AgreesWithTheDefinitionOnEveryFirstTwoBytesAndEveryCut) {
  for (int b0 = 0; b0 < 256; ++b0) {
    for (int b1 = 0; b1 < 256; ++b1) {
      for (const unsigned char rest : {0x80, 0xBF, 0x41}) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(b0), static_cast<unsigned char>(b1), rest, 0x80};
        for (std::size_t left = 1; left <= 4; ++left) {
          char32_t expectedCp = 0;
          const std::size_t expected = ReferenceLength(bytes, left, expectedCp);
          const std::size_t n = hovrak::Utf8SequenceLength(bytes, left);
          ASSERT_EQ(n, expected) << std::hex << b0 << ' ' << b1 << ' ' << int(rest) << " left " << left;
          if (n > 0) {
            ASSERT_EQ(hovrak::Utf8CodePoint(bytes, n), expectedCp) << std::hex << b0 << ' ' << b1;
            // The whole-text check says the same of the sequence on its own.
            ASSERT_TRUE(hovrak::IsUtf8(std::string_view(reinterpret_cast<const char*>(bytes), n)));
          }
          if (expected == 0 && b0 >= 0x80) {
            ASSERT_FALSE(hovrak::IsUtf8(std::string_view(reinterpret_cast<const char*>(bytes), left)));
          }
          // The lead length alone never depends on the bytes after it.
          if (n > 1) {
            ASSERT_EQ(hovrak::Utf8LeadLength(bytes[0]), n);
          }
        }
      }
    }
  }
}
