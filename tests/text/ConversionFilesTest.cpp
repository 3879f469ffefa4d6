#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/AnsiCodePage.h"
#include "text/Conversions.h"

using namespace hovrak;

namespace {

std::wstring Expected(const std::string& name) {
  return AnsiToWide(ReadWholeFile(TestDataPath("cjk/" + name + "-utf8.txt")));
}

std::string Encoded(const std::string& name) { return ReadWholeFile(TestDataPath("cjk/" + name + ".txt")); }

}  // namespace

// Sample texts in the three codes with their UTF-8 twins.
TEST(ConversionFiles, SampleTextsDecodeToTheirUtf8Twins) {
  const std::wstring sjis_text = Expected("shift_jis");
  ASSERT_GT(sjis_text.size(), 100u);
  EXPECT_EQ(cp932_to_unicode(Encoded("shift_jis")), sjis_text);
  EXPECT_EQ(euc_to_unicode(Encoded("euc_jp")), Expected("euc_jp"));
  EXPECT_EQ(euc_to_unicode(jis_to_euc(Encoded("iso2022_jp"))), Expected("iso2022_jp"));
  EXPECT_EQ(utf8_to_unicode(ReadWholeFile(TestDataPath("cjk/shift_jis-utf8.txt"))), sjis_text);

  // And encode back to the same bytes.
  EXPECT_EQ(unicode_to_sjis_cp932(sjis_text), Encoded("shift_jis"));
  EXPECT_EQ(unicode_to_euc(Expected("euc_jp")), Encoded("euc_jp"));
  EXPECT_EQ(euc_to_jis(unicode_to_euc(Expected("iso2022_jp"))), Encoded("iso2022_jp"));
}

// Damaged input of every kind must decode without reading out of bounds (the
// sanitizer build runs this) and leave nothing behind.
TEST(ConversionFiles, DamagedInputNeverBreaksTheDecoders) {
  const unsigned char interesting[] = {0x00, 0x0A, 0x0E, 0x0F, 0x1B, 0x24, 0x28, 0x42, 0x44, 0x49, 0x7F, 0x80, 0x81,
                                       0x8E, 0x8F, 0xA0, 0xA1, 0xC3, 0xDF, 0xE3, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
  const std::size_t n = sizeof interesting;
  std::vector<std::string> inputs;
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      for (std::size_t c = 0; c < n; ++c) {
        inputs.push_back(std::string{static_cast<char>(interesting[a]), static_cast<char>(interesting[b]),
                                     static_cast<char>(interesting[c])});
      }
    }
  }
  // Longer random byte strings, and the samples cut short at random places.
  std::uint32_t seed = 12345;
  auto next = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 24;
  };
  for (int i = 0; i < 2000; ++i) {
    std::string bytes(1 + next() % 40, '\0');
    for (char& ch : bytes) ch = static_cast<char>(next());
    inputs.push_back(bytes);
  }
  for (const char* name : {"shift_jis", "euc_jp", "iso2022_jp"}) {
    const std::string sample = Encoded(name);
    for (int i = 0; i < 50; ++i) inputs.push_back(sample.substr(0, next() * sample.size() / 256));
  }

  for (const std::string& input : inputs) {
    EXPECT_LE(cp932_to_unicode(input).size(), input.size());
    EXPECT_LE(euc_to_unicode(input).size(), input.size());
    EXPECT_LE(utf8_to_unicode(input).size(), input.size());
    const std::string euc = jis_to_euc(input);
    EXPECT_LE(euc.size(), input.size() * 2);
    euc_to_unicode(euc);
    euc_to_jis(input);
    // Wide input of odd units, surrogates included.
    std::wstring wide;
    for (char ch : input) wide += static_cast<wchar_t>(0xD7F0 + static_cast<unsigned char>(ch));
    unicode_to_utf8(wide);
    unicode_to_euc(wide);
    unicode_to_sjis_cp932(wide);
  }
}
