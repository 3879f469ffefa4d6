#include <gtest/gtest.h>

#include <random>

#include <boost/regex.hpp>

#include "front/PathListText.h"

using hovrak::JoinTargetText;
using hovrak::SplitFilterText;
using hovrak::SplitQuotedTokens;
using hovrak::SplitTargetText;

namespace {

// The tokenizing expression applied the way Boost.Regex does it, as the reference.
TStringVector RegexTokens(const std::string& text) {
  static const boost::regex expression("\\G\\s*((\"((\"\"|[^\"])+)\")|([^\\s\"]+))");
  TStringVector tokens;
  boost::sregex_iterator it(text.begin(), text.end(), expression), end;
  for (; it != end; ++it) {
    const boost::smatch& m = *it;
    if (m[3].matched) {
      tokens.push_back(boost::regex_replace(m[3].str(), boost::regex("\"\""), "\""));
    } else {
      tokens.push_back(m[5].str());
    }
  }
  return tokens;
}

}  // namespace

TEST(PathListText, TargetBoxQuotedAndBare) {
  EXPECT_EQ(SplitTargetText(""), TStringVector{});
  EXPECT_EQ(SplitTargetText("\"C:/My Files\" /tmp/b"), (TStringVector{"C:/My Files", "/tmp/b"}));
  // The same path typed bare is one path, space and all.
  EXPECT_EQ(SplitTargetText("/home/My Files /tmp/b"), TStringVector{"/home/My Files /tmp/b"});
  EXPECT_EQ(SplitTargetText(" leading"), TStringVector{" leading"});
  EXPECT_EQ(SplitTargetText("\"a\"\"b\"\"c\""), TStringVector{"a\"b\"c"});
  EXPECT_EQ(SplitTargetText("\"a\"b \"c d\"\te"), (TStringVector{"a", "b", "c d", "e"}));
  EXPECT_EQ(SplitTargetText("\"line\nbreak\""), TStringVector{"line\nbreak"});
}

TEST(PathListText, ScanningStopsWhereNoTokenFollows) {
  EXPECT_EQ(SplitQuotedTokens("a \"\" b"), TStringVector{"a"});   // empty pair
  EXPECT_EQ(SplitQuotedTokens("a \"b c"), TStringVector{"a"});    // unterminated
  EXPECT_EQ(SplitQuotedTokens("\"a\"\" b"), TStringVector{"a"});  // "" then no close
  EXPECT_EQ(SplitQuotedTokens("\"a\"\"\"\""), TStringVector{"a\""});
  EXPECT_EQ(SplitQuotedTokens("\"\"\"x\""), TStringVector{"\"x"});
  EXPECT_EQ(SplitQuotedTokens("  a  b  "), (TStringVector{"a", "b"}));
}

TEST(PathListText, FilterBoxAlwaysTokenizedWithStarFallback) {
  EXPECT_EQ(SplitFilterText("*.txt *.htm *.html"), (TStringVector{"*.txt", "*.htm", "*.html"}));
  EXPECT_EQ(SplitFilterText(""), TStringVector{"*"});
  EXPECT_EQ(SplitFilterText("   "), TStringVector{"*"});
  EXPECT_EQ(SplitFilterText("\"\""), TStringVector{"*"});
  EXPECT_EQ(SplitFilterText("\"my *.txt\" *.c"), (TStringVector{"my *.txt", "*.c"}));
}

TEST(PathListText, JoinQuotesEveryPathAndSplitsBack) {
  EXPECT_EQ(JoinTargetText({}), "");
  EXPECT_EQ(JoinTargetText({"/a b/c", "/d"}), "\"/a b/c\" \"/d\"");
  const TStringVector paths = {"/tmp/My Files/x.txt", "/tmp/say \"hi\".txt", "\"",
                               "/tmp/a\nb",           "/tmp/\xFF\xFE",       "/tmp/end\""};
  const std::string joined = JoinTargetText(paths);
  EXPECT_EQ(SplitTargetText(joined), paths);
}

TEST(PathListText, TokensAgreeWithTheRegularExpression) {
  std::mt19937 rng(777);
  const std::string alphabet[] = {"a", "\"", "\"", " ", "\t", "\n", "\xE3\x81\x82", "\xA0", "\x85"};
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = rng() % 10;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % 9];
    ASSERT_EQ(SplitQuotedTokens(text), RegexTokens(text)) << "text [" << text << "]";
  }
}

TEST(PathListText, OneHandedOverPathStandsAsItIsSoTheHistoryKnowsIt) {
  EXPECT_EQ(hovrak::TargetBoxText({"/home/u/my docs"}), "/home/u/my docs");
  EXPECT_EQ(hovrak::SplitTargetText(hovrak::TargetBoxText({"/home/u/my docs"})), (TStringVector{"/home/u/my docs"}));
  // A path that begins with a quote would read back otherwise: quoted.
  EXPECT_EQ(hovrak::TargetBoxText({"\"odd"}), "\"\"\"odd\"");
  EXPECT_EQ(hovrak::TargetBoxText({"/a", "/b c"}), "\"/a\" \"/b c\"");
}
