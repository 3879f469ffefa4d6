// Cases that once slipped through: characters special to regular expressions in a
// case-ignoring plain search, word search of a name with an underscore, and the
// ninth group of a replacing template.
#include <gtest/gtest.h>

#include "pattern/CreateReplacingPattern.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/ReplaceInText.h"
#include "pattern/SearchFileText.h"

namespace {

// (column, length) of every hit of text in a one-line haystack.
template <class C>
std::vector<std::pair<int, int>> Hits(const std::string& text, int mode, bool caseSensitive,
                                      const std::basic_string<C>& haystack) {
  TSearchInfo info;
  info.IsWide = sizeof(C) > 1;
  info.Text = text;
  info.Mode = static_cast<std::uint8_t>(mode);
  info.CaseSensitive = caseSensitive;
  const auto pattern = CreateSearchedPattern(info);
  TPlaceList<C> list;
  SearchFileText<C>(dynamic_cast<const TSearchedPattern<C>&>(*pattern), haystack, list, "f");
  std::vector<std::pair<int, int>> hits;
  for (int i = 0; i < list.Count(); ++i) hits.emplace_back(list.Item(i)->Column, list.Item(i)->Length);
  return hits;
}

using THits = std::vector<std::pair<int, int>>;

}  // namespace

TEST(PatternFaults, CaseIgnoringPlainSearchTakesRegexCharactersLiterally) {
  // Each haystack starts with what the text would match as an expression.
  const struct {
    const char* Text;
    const char* Haystack;
    THits Expected;
  } cases[] = {
      {"a|b", "a b A|B", {{4, 3}}},
      {"x.y", "xzy X.Y", {{4, 3}}},
      {"f(x)", "fx F(X)", {{3, 4}}},
      {"a*b", "aab b A*B", {{6, 3}}},
      {"c\\d", "c5 C\\D", {{3, 3}}},
      {"|", "ab|", {{2, 1}}},
      {".", "ab.", {{2, 1}}},
      {"(", "x(", {{1, 1}}},
      {"*", "a*", {{1, 1}}},
      {"\\", "a\\b\\", {{1, 1}, {3, 1}}},
      {"|.(*\\", "|x(*\\ |.(*\\", {{6, 5}}},
  };
  for (const auto& c : cases) {
    const std::string haystack = c.Haystack;
    EXPECT_EQ(Hits<char>(c.Text, 0, false, haystack), c.Expected) << c.Text;
    EXPECT_EQ(Hits<wchar_t>(c.Text, 0, false, std::wstring(haystack.begin(), haystack.end())), c.Expected) << c.Text;
  }
}

TEST(PatternFaults, WordSearchKeepsAnUnderscoreNameWhole) {
  const std::wstring text = L"foo_bar foo_barx xfoo_bar foo bar foo_bar_ (foo_bar)";
  const THits expected = {{0, 7}, {44, 7}};
  EXPECT_EQ(Hits<wchar_t>("foo_bar", 1, true, text), expected);
  EXPECT_EQ(Hits<char>("foo_bar", 1, true, std::string(text.begin(), text.end())), expected);
  EXPECT_EQ(Hits<wchar_t>("FOO_BAR", 1, false, text), expected);
  // The name is one word: "foo bar" does not match it.
  EXPECT_EQ(Hits<wchar_t>("foo bar", 1, true, text), (THits{{26, 7}}));
}

TEST(PatternFaults, TheNinthGroupOfATemplateIsReplaced) {
  TReplaceInfo replace;
  replace.Mode = 2;
  replace.Text = "[\\9\\8\\1\\0]";
  TSearchInfo search;
  search.Mode = 2;
  search.CaseSensitive = true;
  search.Text = "(a)(b)(c)(d)(e)(f)(g)(h)(i)";
  for (const bool wide : {true, false}) {
    search.IsWide = replace.IsWide = wide;
    const auto searched = CreateSearchedPattern(search);
    const auto replacing = CreateReplacingPattern(replace);
    if (wide) {
      std::wstring text = L"x abcdefghi y";
      TPlaceList<wchar_t> list;
      SearchFileText<wchar_t>(dynamic_cast<const TSearchedPattern<wchar_t>&>(*searched), text, list, "f");
      ASSERT_EQ(list.Count(), 1);
      ReplaceInText<wchar_t>(dynamic_cast<const TReplacingPattern<wchar_t>&>(*replacing), text, list, "f");
      EXPECT_EQ(text, L"x [ihaabcdefghi] y");
    } else {
      std::string text = "x abcdefghi y";
      TPlaceList<char> list;
      SearchFileText<char>(dynamic_cast<const TSearchedPattern<char>&>(*searched), text, list, "f");
      ASSERT_EQ(list.Count(), 1);
      ReplaceInText<char>(dynamic_cast<const TReplacingPattern<char>&>(*replacing), text, list, "f");
      EXPECT_EQ(text, "x [ihaabcdefghi] y");
    }
  }
}
