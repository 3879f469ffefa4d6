#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "pattern/CreateSearchedPattern.h"
#include "pattern/FoldedSearchedPattern.h"
#include "pattern/InvalidSearchedPattern.h"
#include "pattern/NormalSearchedPattern.h"
#include "pattern/RegexQuoting.h"
#include "pattern/RegexSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/SearchedPattern.h"

namespace {

TSearchInfo Info(const std::string& text, int mode, bool caseSensitive = true, bool wide = true) {
  TSearchInfo info;
  info.IsWide = wide;
  info.Text = text;
  info.Mode = static_cast<std::uint8_t>(mode);
  info.CaseSensitive = caseSensitive;
  return info;
}

struct THit {
  int Line, Column, Length;
  bool operator==(const THit& o) const { return Line == o.Line && Column == o.Column && Length == o.Length; }
};
std::ostream& operator<<(std::ostream& os, const THit& h) {
  return os << "{" << h.Line << "," << h.Column << "," << h.Length << "}";
}

template <class C>
std::vector<THit> RunOn(const TSearchInfo& info, const std::basic_string<C>& text, TPlaceList<C>* keep = nullptr) {
  auto pattern = CreateSearchedPattern(info);
  auto* typed = dynamic_cast<TSearchedPattern<C>*>(pattern.get());
  EXPECT_NE(typed, nullptr);
  TPlaceList<C> local;
  TPlaceList<C>& list = keep ? *keep : local;
  SearchFileText<C>(*typed, text, list, "f.txt");
  std::vector<THit> hits;
  for (int i = 0; i < list.Count(); ++i)
    hits.push_back({list.Item(i)->Line, list.Item(i)->Column, list.Item(i)->Length});
  return hits;
}

std::vector<THit> RunW(const TSearchInfo& info, const std::wstring& text) { return RunOn<wchar_t>(info, text); }
std::vector<THit> RunN(TSearchInfo info, const std::string& text) {
  info.IsWide = false;
  return RunOn<char>(info, text);
}

}  // namespace

TEST(SearchedPattern, FactoryPicksThePlainPatternsOnlyForNormalMode) {
  auto plain = CreateSearchedPattern(Info("abc", 0, true));
  EXPECT_NE(dynamic_cast<TNormalSearchedPattern<wchar_t>*>(plain.get()), nullptr);
  auto folded = CreateSearchedPattern(Info("abc", 0, false));
  EXPECT_NE(dynamic_cast<TFoldedSearchedPattern<wchar_t>*>(folded.get()), nullptr);
  auto narrow = CreateSearchedPattern(Info("abc", 1, true, false));
  EXPECT_NE(dynamic_cast<TRegexSearchedPattern<char>*>(narrow.get()), nullptr);
}

TEST(SearchedPattern, PlainHitsDoNotOverlap) {
  const std::vector<THit> expected{{0, 0, 2}, {0, 2, 2}};
  EXPECT_EQ(RunW(Info("aa", 0), L"aaaa"), expected);
  EXPECT_EQ(RunN(Info("aa", 0), "aaaa"), expected);
  EXPECT_EQ(RunW(Info("aa", 0), L"aaa"), (std::vector<THit>{{0, 0, 2}}));
}

TEST(SearchedPattern, PlainSearchFindsJapaneseAndSingleUnits) {
  const std::wstring text = L"東京都の東京タワーと東京駅";
  EXPECT_EQ(RunW(Info("東京", 0), text), (std::vector<THit>{{0, 0, 2}, {0, 4, 2}, {0, 10, 2}}));
  EXPECT_EQ(RunW(Info("駅", 0), text), (std::vector<THit>{{0, 12, 1}}));
  EXPECT_TRUE(RunW(Info("大阪", 0), text).empty());
  // Same low byte, different unit (U+6771 vs U+0071): the shift table must not confuse them.
  EXPECT_EQ(RunW(Info("q東", 0), L"q東東qq東"), (std::vector<THit>{{0, 0, 2}, {0, 4, 2}}));
  // Narrow search works on raw bytes (UTF-8 here).
  EXPECT_EQ(RunN(Info("京", 0), "東京"), (std::vector<THit>{{0, 3, 3}}));
}

TEST(SearchedPattern, CaseInsensitiveQuotesTheTextAndFoldsFullWidthLetters) {
  EXPECT_EQ(RunW(Info("a.b", 0, false), L"A.B axb"), (std::vector<THit>{{0, 0, 3}}));
  EXPECT_EQ(RunN(Info("a.b", 0, false), "A.B axb"), (std::vector<THit>{{0, 0, 3}}));
  EXPECT_EQ(RunW(Info("ＡＢＣ", 0, false), L"xａｂｃ"), (std::vector<THit>{{0, 1, 3}}));
  EXPECT_EQ(RunW(Info("(x)+[y]", 0, false), L"(X)+[Y]"), (std::vector<THit>{{0, 0, 7}}));
  // The plain pattern never folds.
  EXPECT_TRUE(RunW(Info("ＡＢＣ", 0, true), L"ａｂｃ").empty());
}

// A quoted text is an expression that matches exactly it: no control character or
// special character stands for others (the engine reads \v as any vertical space).
TEST(SearchedPattern, QuotedTextMatchesExactlyItself) {
  const std::wstring specials = L"\n\t\a\f\r\v.*?+(){}[]^$|\\x";
  for (const wchar_t c : specials) {
    for (const bool caseSensitive : {true, false}) {
      const boost::wregex quoted(QuoteRegex(std::wstring{L'a', c, L'0'}),
                                 TRegexSearchedPattern<wchar_t>::Flags(caseSensitive));
      for (const wchar_t other : specials)
        EXPECT_EQ(boost::regex_match(std::wstring{L'a', other, L'0'}, quoted), other == c)
            << static_cast<int>(c) << " matched " << static_cast<int>(other);
    }
  }
}

TEST(SearchedPattern, WordSearchMatchesWholeWordsAcrossBlanks) {
  EXPECT_TRUE(RunW(Info("foo", 1), L"foobar").empty());
  EXPECT_EQ(RunW(Info("foo", 1), L"a foo."), (std::vector<THit>{{0, 2, 3}}));
  EXPECT_EQ(RunW(Info("foo bar", 1), L"foo    bar"), (std::vector<THit>{{0, 0, 10}}));
  EXPECT_EQ(RunW(Info("foo bar", 1), L"x foo\nbar"), (std::vector<THit>{{0, 2, 7}}));
  EXPECT_EQ(RunW(Info("a.b", 1), L"a . b a.b"), (std::vector<THit>{{0, 0, 5}, {0, 6, 3}}));
  EXPECT_EQ(RunW(Info("日本語", 1), L"日 本\n語"), (std::vector<THit>{{0, 0, 5}}));
  // By line, a match never spans a line break.
  TSearchInfo byLine = Info("foo bar", 1);
  byLine.ByLine = true;
  EXPECT_TRUE(RunW(byLine, L"foo\nbar").empty());
}

TEST(SearchedPattern, InvalidStringsRaiseTheException) {
  for (int mode = 0; mode <= 2; ++mode) {
    for (bool wide : {true, false}) {
      EXPECT_THROW(CreateSearchedPattern(Info("", mode, true, wide)), EInvalidSearchedPattern);
      EXPECT_THROW(CreateSearchedPattern(Info("", mode, false, wide)), EInvalidSearchedPattern);
    }
  }
  EXPECT_THROW(CreateSearchedPattern(Info(" \t\n ", 1)), EInvalidSearchedPattern);
  EXPECT_THROW(CreateSearchedPattern(Info("(", 2)), EInvalidSearchedPattern);
  EXPECT_THROW(CreateSearchedPattern(Info("a[", 2, false, false)), EInvalidSearchedPattern);
  try {
    CreateSearchedPattern(Info("(", 2));
  } catch (const EInvalidSearchedPattern& e) {
    EXPECT_STREQ(e.what(), "検索文字列が間違っています。");
  }
  // Invalid UTF-8 in the entered string is converted, not read past.
  EXPECT_NO_THROW(CreateSearchedPattern(Info(std::string("a\xE3\x81"), 0)));
}

TEST(SearchedPattern, EscapesExpandOutsideRegexMode) {
  TSearchInfo tab = Info("a\\tb", 0);
  tab.Escape = true;
  EXPECT_EQ(RunW(tab, L"a\tb a\\tb"), (std::vector<THit>{{0, 0, 3}}));
  TSearchInfo backslash = Info("\\\\", 0);
  backslash.Escape = true;
  EXPECT_EQ(RunW(backslash, L"x\\y"), (std::vector<THit>{{0, 1, 1}}));
  TSearchInfo trailing = Info("x\\", 0);
  trailing.Escape = true;
  EXPECT_EQ(RunW(trailing, L"x\\y"), (std::vector<THit>{{0, 0, 2}}));
  // Regex mode compiles the text unchanged: \t is the regex's own tab escape and \d a class.
  TSearchInfo regex = Info("\\d\\t", 2);
  regex.Escape = true;
  EXPECT_EQ(RunW(regex, L"a1\tb"), (std::vector<THit>{{0, 1, 2}}));
  // Escape off: the backslash is searched for literally.
  EXPECT_EQ(RunW(Info("a\\tb", 0), L"a\\tb"), (std::vector<THit>{{0, 0, 4}}));
}

TEST(SearchedPattern, ByLineSearchesEveryLineIncludingTheLastEmptyOne) {
  TSearchInfo info = Info("x", 0);
  info.ByLine = true;
  EXPECT_EQ(RunW(info, L"x\nx\n"), (std::vector<THit>{{0, 0, 1}, {1, 0, 1}}));
  TSearchInfo empty = Info("^$", 2);
  empty.ByLine = true;
  EXPECT_EQ(RunW(empty, L"x\nx\n"), (std::vector<THit>{{2, 0, 0}}));
  // A CR before the line feed stays in the line.
  TSearchInfo cr = Info("\\r", 2);
  cr.ByLine = true;
  EXPECT_EQ(RunN(cr, "ab\r\ncd"), (std::vector<THit>{{0, 2, 1}}));
}

TEST(SearchedPattern, WholeTextLineNumbersFollowShowLine) {
  TSearchInfo shown = Info("b", 0);
  EXPECT_EQ(RunW(shown, L"ab\nab\n\nb"), (std::vector<THit>{{0, 1, 1}, {1, 1, 1}, {3, 0, 1}}));
  TSearchInfo hidden = shown;
  hidden.ShowLine = false;
  EXPECT_EQ(RunW(hidden, L"ab\nab\n\nb"), (std::vector<THit>{{0, 1, 1}, {0, 4, 1}, {0, 7, 1}}));
  // A regex hit that starts at a line feed belongs to the line that feed ends.
  EXPECT_EQ(RunW(Info("\\n", 2), L"ab\ncd"), (std::vector<THit>{{0, 2, 1}}));
}

TEST(SearchedPattern, RegexPlacesCarrySubmatchesAndEmptyMatches) {
  TPlaceList<wchar_t> list;
  RunOn<wchar_t>(Info("(a)|(b)", 2), std::wstring(L"ab"), &list);
  ASSERT_EQ(list.Count(), 2);
  const auto* second = list.TypedItem(1);
  ASSERT_EQ(second->SubMatches().size(), 3u);
  EXPECT_EQ(second->SubMatches()[0], L"b");
  EXPECT_EQ(second->SubMatches()[1], L"");  // the group that did not take part
  EXPECT_EQ(second->SubMatches()[2], L"b");
  // An expression that matches the empty string gives places of length 0.
  EXPECT_EQ(RunW(Info("x*", 2), L"ab"), (std::vector<THit>{{0, 0, 0}, {0, 1, 0}, {0, 2, 0}}));
  EXPECT_EQ(RunW(Info("x*", 2), L"xxa"), (std::vector<THit>{{0, 0, 2}, {0, 2, 0}, {0, 3, 0}}));
}

TEST(SearchedPattern, OnAddSeesEveryPlaceInOrder) {
  auto pattern = CreateSearchedPattern(Info("の", 0));
  TPlaceList<wchar_t> list;
  std::vector<std::string> seen;
  list.OnAdd = [&](TAbstractPlace* p) { seen.push_back(p->GetText() + "@" + std::to_string(p->Column)); };
  SearchFileText<wchar_t>(dynamic_cast<TSearchedPattern<wchar_t>&>(*pattern), std::wstring(L"私の本の"), list, "a.txt");
  EXPECT_EQ(seen, (std::vector<std::string>{"の@1", "の@3"}));
}

TEST(SearchedPattern, CatastrophicRegexEndsWithAnExceptionNotAHang) {
  // The y at the far end lets the text past the check for a required string.
  const std::wstring text = std::wstring(5000, L'x') + L" y";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(RunW(Info("(x+x+)+y", 2), text), std::runtime_error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}
