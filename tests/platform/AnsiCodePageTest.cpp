#include <gtest/gtest.h>

#include <cwctype>

#include "platform/AnsiCodePage.h"

using hovrak::AnsiToWide;
using hovrak::WideToAnsi;

TEST(AnsiCodePage, RoundTripsJapaneseAndSupplementaryCharacters) {
  const std::string utf8 = "日本語テキスト ｱ 𠮷";
  const std::wstring wide = AnsiToWide(utf8);
  ASSERT_EQ(wide.size(), 12u);  // 𠮷 is two UTF-16 units
  EXPECT_EQ(wide[0], L'\x65E5');
  EXPECT_EQ(wide[10], static_cast<wchar_t>(0xD842));
  EXPECT_EQ(wide[11], static_cast<wchar_t>(0xDFB7));
  EXPECT_EQ(WideToAnsi(wide), utf8);
}

TEST(AnsiCodePage, InvalidBytesGiveOneReplacementEach) {
  // Lone continuation byte, invalid lead byte, overlong form, truncated sequence at end.
  EXPECT_EQ(AnsiToWide(std::string("a\x80"
                                   "b")),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(AnsiToWide(std::string("\xFF")), L"\xFFFD");
  EXPECT_EQ(AnsiToWide(std::string("\xC0\xAF")), L"\xFFFD\xFFFD");
  EXPECT_EQ(AnsiToWide(std::string("x\xE3\x81")), L"x\xFFFD\xFFFD");
  // An encoded surrogate is not a character.
  EXPECT_EQ(AnsiToWide(std::string("\xED\xA0\x80")), L"\xFFFD\xFFFD\xFFFD");
  // A truncated sequence followed by a good character keeps the good character.
  EXPECT_EQ(AnsiToWide(std::string("\xE3\x81"
                                   "A")),
            L"\xFFFD\xFFFD"
            L"A");
}

TEST(AnsiCodePage, StopsAtFirstNulAndNeverReadsPastLength) {
  EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), L"ab");
  const char truncated[] = {'\xE6', '\x97'};
  EXPECT_EQ(AnsiToWide(truncated, sizeof truncated), L"\xFFFD\xFFFD");
  EXPECT_EQ(WideToAnsi(std::wstring(L"ab\0cd", 5)), "ab");
}

TEST(AnsiCodePage, LoneSurrogateBecomesQuestionMark) {
  std::wstring lone;
  lone.push_back(0xD800);
  lone.push_back(L'x');
  lone.push_back(0xDC00);
  EXPECT_EQ(WideToAnsi(lone), "?x?");
}

TEST(Utf8Locale, WideCaseFoldingCoversFullWidthLetters) {
  EXPECT_EQ(std::towlower(0xFF21), 0xFF41u);  // Ａ -> ａ
}
