#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "platform/Wildcard.h"

using hovrak::MatchWildcard;

namespace {

// Plain dynamic-programming matcher over ASCII text, used as the reference.
bool ReferenceMatch(const std::string& p, const std::string& s) {
  std::vector<std::vector<bool>> m(p.size() + 1, std::vector<bool>(s.size() + 1, false));
  m[0][0] = true;
  for (std::size_t i = 1; i <= p.size(); ++i) {
    m[i][0] = m[i - 1][0] && p[i - 1] == '*';
    for (std::size_t j = 1; j <= s.size(); ++j) {
      if (p[i - 1] == '*') m[i][j] = m[i - 1][j] || m[i][j - 1];
      else m[i][j] = m[i - 1][j - 1] && (p[i - 1] == '?' || tolower(p[i - 1]) == tolower(s[j - 1]));
    }
  }
  return m[p.size()][s.size()];
}

}  // namespace

TEST(Wildcard, StarsQuestionMarksAndLiterals) {
  EXPECT_TRUE(MatchWildcard("*", "anything.txt"));
  EXPECT_TRUE(MatchWildcard("*", ".hidden"));
  EXPECT_TRUE(MatchWildcard("*.txt", "a.txt"));
  EXPECT_TRUE(MatchWildcard("*.txt", ".txt"));
  EXPECT_FALSE(MatchWildcard("*.txt", "a.txt.bak"));
  EXPECT_TRUE(MatchWildcard("a?c", "abc"));
  EXPECT_FALSE(MatchWildcard("a?c", "ac"));
  EXPECT_FALSE(MatchWildcard("a?c", "abbc"));
  EXPECT_TRUE(MatchWildcard("a**c", "ac"));
  EXPECT_TRUE(MatchWildcard("*b*", "abc"));
  EXPECT_TRUE(MatchWildcard("readme", "README"));
  EXPECT_FALSE(MatchWildcard("readme", "readme.txt"));
  EXPECT_FALSE(MatchWildcard("", "a"));
  EXPECT_TRUE(MatchWildcard("", ""));
}

TEST(Wildcard, AsciiLettersOnlyIgnoreCase) {
  EXPECT_TRUE(MatchWildcard("*.TXT", "a.txt"));
  EXPECT_TRUE(MatchWildcard("*.txt", "A.TxT"));
  // "[" and "{" sit 32 apart like letters; they must not fold.
  EXPECT_FALSE(MatchWildcard("[", "{"));
  // Non-ASCII letters keep their case: É (C3 89) and é (C3 A9).
  EXPECT_FALSE(MatchWildcard("\xC3\x89", "\xC3\xA9"));
}

TEST(Wildcard, StarDotStarMatchesNamesWithoutDot) {
  EXPECT_TRUE(MatchWildcard("*.*", "Makefile"));
  EXPECT_TRUE(MatchWildcard("*.*", "a.b.c"));
  EXPECT_TRUE(MatchWildcard("*.*", ".profile"));
  EXPECT_FALSE(MatchWildcard("a*.*", "Makefile"));
}

TEST(Wildcard, QuestionMarkIsOneCharacterNotOneByte) {
  const std::string a = "\xE3\x81\x82";  // あ, three bytes
  EXPECT_TRUE(MatchWildcard("?", a));
  EXPECT_FALSE(MatchWildcard("??", a));
  EXPECT_FALSE(MatchWildcard("???", a));
  // A star must not stop inside a character and let "?" take its tail bytes.
  EXPECT_FALSE(MatchWildcard("*??", a));
  EXPECT_TRUE(MatchWildcard("*??", "x" + a));
  EXPECT_TRUE(MatchWildcard("?.txt", a + ".txt"));
  EXPECT_TRUE(MatchWildcard("*" + a + "*", "x" + a + a + "y"));
  const std::string emoji = "\xF0\x9F\x98\x80";  // four bytes
  EXPECT_TRUE(MatchWildcard("a?b", "a" + emoji + "b"));
}

TEST(Wildcard, InvalidBytesCountAsOneCharacterEach) {
  EXPECT_TRUE(MatchWildcard("a?b",
                            "a\xFF"
                            "b"));
  EXPECT_TRUE(MatchWildcard("??", "\xE3\x81"));  // truncated sequence: two bytes
  EXPECT_TRUE(MatchWildcard("?", "\x80"));
  EXPECT_TRUE(MatchWildcard("*.txt", "\xFE\xFF.txt"));
  EXPECT_FALSE(MatchWildcard("?", "\xC0\xAF"));  // overlong form: two characters
}

TEST(Wildcard, AgreesWithReferenceOnRandomAsciiCases) {
  std::mt19937 rng(12345);
  const std::string patternChars = "ab*?A.";
  const std::string nameChars = "abAB.";
  for (int round = 0; round < 20000; ++round) {
    std::string p, s;
    const int pl = rng() % 7, sl = rng() % 9;
    for (int i = 0; i < pl; ++i) p += patternChars[rng() % patternChars.size()];
    for (int i = 0; i < sl; ++i) s += nameChars[rng() % nameChars.size()];
    if (p == "*.*") continue;
    ASSERT_EQ(MatchWildcard(p, s), ReferenceMatch(p, s)) << "pattern " << p << " name " << s;
  }
}

TEST(Wildcard, ManyStarsStayFast) {
  const std::string name(5000, 'a');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*a*b", name));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}
