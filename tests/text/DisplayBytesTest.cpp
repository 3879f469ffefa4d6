#include <gtest/gtest.h>

#include <string>

#include "text/DisplayBytes.h"

using hovrak::DisplayBytes;

TEST(DisplayBytesTest, Utf8AndAsciiStayAsTheyAre) {
  EXPECT_EQ(DisplayBytes(""), "");
  EXPECT_EQ(DisplayBytes("abc\tdef"), "abc\tdef");
  EXPECT_EQ(DisplayBytes("日本語のテキスト"), "日本語のテキスト");
}

TEST(DisplayBytesTest, OtherBytesAreShiftJis) {
  // 日本語 and ｱｲｳ (half-width katakana) in Shift-JIS.
  EXPECT_EQ(DisplayBytes("\x93\xfa\x96\x7b\x8c\xea"), "日本語");
  EXPECT_EQ(DisplayBytes("\xb1\xb2\xb3"), "ｱｲｳ");
  // A zero byte does not end the text.
  EXPECT_EQ(DisplayBytes(std::string("\x82\xa0\0\x82\xa2", 5)), std::string("あ\0い", 7));
  // A lone lead byte at the end, as a context cut leaves it, gives "?".
  EXPECT_EQ(DisplayBytes("\x93\xfa\x96"), "日?");
  // Two Shift-JIS characters made only of continuation-range bytes are not taken
  // for a cut piece of UTF-8.
  EXPECT_EQ(DisplayBytes("\x82\xa0\x82\xa2"), "あい");
}

TEST(DisplayBytesTest, Utf8CutAtEitherEndDropsTheCutPieces) {
  const std::string text = "東京都";  // three bytes per character
  EXPECT_EQ(DisplayBytes(text.substr(1)), "京都");
  EXPECT_EQ(DisplayBytes(text.substr(2)), "京都");
  EXPECT_EQ(DisplayBytes(text.substr(0, text.size() - 1)), "東京");
  EXPECT_EQ(DisplayBytes(text.substr(0, text.size() - 2)), "東京");
  EXPECT_EQ(DisplayBytes(text.substr(2, 5)), "京");
  EXPECT_EQ(DisplayBytes("ab" + text.substr(0, 4)), "ab東");
  // Malformed inside, not only at the cut: Shift-JIS after all.
  EXPECT_NE(DisplayBytes(text.substr(1) + "\xff" + text), "京都" + text);
}
