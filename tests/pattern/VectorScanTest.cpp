#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "pattern/VectorScan.h"

TEST(VectorScan, FindBytesAgreesWithTheLibrarySearch) {
  std::mt19937 random(11);
  for (int round = 0; round < 20000; ++round) {
    // A small alphabet makes partial matches and repeats common.
    std::string text(random() % 100, 'a');
    for (char& c : text) c = static_cast<char>("ab\xE3\x81"[random() % 4]);
    std::string needle(2 + random() % 5, 'a');
    for (char& c : needle) c = static_cast<char>("ab\xE3\x81"[random() % 4]);
    // Sometimes a needle taken from the text, at its very end as well.
    if (round % 3 == 0 && text.size() >= needle.size()) {
      const std::size_t at = random() % (text.size() - needle.size() + 1);
      needle = text.substr(at, needle.size());
    }
    const std::size_t expected = std::string_view(text).find(needle);
    const std::size_t found = hovrak::FindBytes(text.data(), text.size(), needle.data(), needle.size());
    ASSERT_EQ(found, expected == std::string_view::npos ? text.size() : expected)
        << testing::PrintToString(text) << " " << testing::PrintToString(needle);
  }
}

TEST(VectorScan, FindUnitsAgreesWithTheLibrarySearch) {
  std::mt19937 random(13);
  const wchar_t alphabet[] = {L'a', L'b', 0x3042, 0x10061};  // the last shares its low bits with 'a'
  for (int round = 0; round < 20000; ++round) {
    std::wstring text(random() % 60, L'a');
    for (wchar_t& c : text) c = alphabet[random() % 4];
    std::wstring needle(2 + random() % 5, L'a');
    for (wchar_t& c : needle) c = alphabet[random() % 4];
    if (round % 3 == 0 && text.size() >= needle.size())
      needle = text.substr(random() % (text.size() - needle.size() + 1), needle.size());
    const std::size_t expected = std::wstring_view(text).find(needle);
    const std::size_t found = hovrak::FindUnits(text.data(), text.size(), needle.data(), needle.size());
    ASSERT_EQ(found, expected == std::wstring_view::npos ? text.size() : expected) << round;
  }
}

TEST(VectorScan, CountByteAgreesWithCountingOneByOne) {
  std::mt19937 random(5);
  // Lengths past the point where the vector lanes are summed (255 blocks of 16).
  for (std::size_t length : {0, 1, 15, 16, 17, 100, 4079, 4080, 4081, 4096, 10000}) {
    std::string text(length, 'x');
    for (char& c : text) c = random() % 3 == 0 ? '\n' : static_cast<char>(random() % 256);
    EXPECT_EQ(hovrak::CountByte(text.data(), text.size(), '\n'),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')))
        << length;
  }
  const std::string allSame(5000, '\r');
  EXPECT_EQ(hovrak::CountByte(allSame.data(), allSame.size(), '\r'), 5000u);
}
