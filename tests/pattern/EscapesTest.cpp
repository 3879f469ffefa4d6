#include <gtest/gtest.h>

#include "pattern/Escapes.h"

TEST(ExpandEscapes, LettersBackslashesAndTrailingBackslash) {
  EXPECT_EQ(ExpandEscapes(std::string("a\\nb")), "a\nb");
  EXPECT_EQ(ExpandEscapes(std::string("\\t\\a\\f\\r\\v")), "\t\a\f\r\v");
  EXPECT_EQ(ExpandEscapes(std::string("\\\\n")), "\\n");
  EXPECT_EQ(ExpandEscapes(std::string("\\")), "\\");
  EXPECT_EQ(ExpandEscapes(std::string("ab\\")), "ab\\");
  EXPECT_EQ(ExpandEscapes(std::string("\\x\\\"")), "x\"");
  EXPECT_EQ(ExpandEscapes(std::string("\\N")), "N");  // upper case is not an escape letter
}

TEST(ExpandEscapes, WideFormOnlyTakesLettersBelow256) {
  EXPECT_EQ(ExpandEscapes(std::wstring(L"\\n\\\x6F22")), std::wstring(L"\n\x6F22"));
  // A unit whose low byte is 'n' (U+016E) is not the letter n.
  EXPECT_EQ(ExpandEscapes(std::wstring(L"\\\x016E")), std::wstring(L"\x016E"));
  EXPECT_EQ(ExpandEscapes(std::wstring(L"\\")), std::wstring(L"\\"));
}

TEST(LineBreakEscapes, EscapeTurnsCrLfAndTabsIntoSequences) {
  EXPECT_EQ(EscapeLineBreaks("a\r\nb\tc"), "a\\nb\\tc");
  EXPECT_EQ(EscapeLineBreaks("a\nb\rc\\n"), "a\nb\rc\\n");  // lone LF and CR stay
}

TEST(LineBreakEscapes, UnescapeCountsPrecedingBackslashes) {
  EXPECT_EQ(UnescapeLineBreaks("\\n\\n"), "\r\n\r\n");
  EXPECT_EQ(UnescapeLineBreaks("\\\\n"), "\\\\n");
  EXPECT_EQ(UnescapeLineBreaks("\\\\\\n"), "\\\\\r\n");
  EXPECT_EQ(UnescapeLineBreaks("a\\tb\\\\tc"), "a\tb\\\\tc");
  EXPECT_EQ(UnescapeLineBreaks("x\\"), "x\\");
  EXPECT_EQ(UnescapeLineBreaks("\\x\\n"), "\\x\r\n");
}

TEST(LineBreakEscapes, UnescapeThenEscapeGivesTheStringBack) {
  for (const std::string s : {"a\\nb", "\\\\n\\t", "\\\\\\n", "plain", "\\", "\\t\\n\\x\\\\"}) {
    EXPECT_EQ(EscapeLineBreaks(UnescapeLineBreaks(s)), s) << s;
  }
}

TEST(LineBreakEscapes, LongPastedTextsAreConvertedWhole) {
  // Long runs of backslashes once made a backtracking matcher give up.
  const std::string backslashes(100000, '\\');
  EXPECT_EQ(UnescapeLineBreaks(backslashes), backslashes);
  EXPECT_EQ(UnescapeLineBreaks(backslashes + "\\n"), backslashes + "\r\n");
  EXPECT_EQ(UnescapeLineBreaks(backslashes + "n"), backslashes + "n");
  std::string lines;
  std::string escaped;
  for (int i = 0; i < 50000; ++i) {
    lines += "x\r\n\t";
    escaped += "x\\n\\t";
  }
  EXPECT_EQ(EscapeLineBreaks(lines), escaped);
  EXPECT_EQ(UnescapeLineBreaks(escaped), lines);
}
