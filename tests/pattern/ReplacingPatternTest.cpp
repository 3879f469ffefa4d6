#include <gtest/gtest.h>

#include "pattern/CreateReplacingPattern.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/NormalReplacingPattern.h"
#include "pattern/RegexReplacingPattern.h"
#include "pattern/ReplaceInText.h"
#include "pattern/SearchFileText.h"

namespace {

// Searches text as file "f" and replaces every place; returns the new text.
template <class C>
std::basic_string<C> SearchAndReplace(std::basic_string<C> text, const std::string& search, int mode,
                                      const std::string& replacement, bool escape = false, bool byLine = false,
                                      TPlaceList<C>* keep = nullptr) {
  const bool wide = std::is_same_v<C, wchar_t>;
  TSearchInfo s;
  s.IsWide = wide;
  s.Text = search;
  s.Mode = static_cast<std::uint8_t>(mode);
  s.CaseSensitive = true;
  s.ByLine = byLine;
  auto searched = CreateSearchedPattern(s);
  TPlaceList<C> local;
  TPlaceList<C>& list = keep ? *keep : local;
  SearchFileText<C>(dynamic_cast<TSearchedPattern<C>&>(*searched), text, list, "f");
  TReplaceInfo r;
  r.IsWide = wide;
  r.Text = replacement;
  r.Mode = static_cast<std::uint8_t>(mode);
  r.Escape = escape;
  auto replacing = CreateReplacingPattern(r);
  ReplaceInText<C>(dynamic_cast<TReplacingPattern<C>&>(*replacing), text, list, "f");
  return text;
}

std::wstring ExpandW(const std::wstring& templ, std::vector<std::wstring> subs) {
  return TRegexReplacingPattern<wchar_t>(templ).Expand(subs);
}

}  // namespace

TEST(ReplacingPattern, TemplateSubmatchesAndCaseChanges) {
  const std::vector<std::wstring> subs{L"xabcx", L"abc"};
  EXPECT_EQ(ExpandW(L"\\u\\1", subs), L"Abc");
  EXPECT_EQ(ExpandW(L"\\U\\1\\E-\\1", subs), L"ABC-abc");
  EXPECT_EQ(ExpandW(L"[\\1]\\t", subs), L"[abc]\t");
  EXPECT_EQ(ExpandW(L"\\10", subs), L"abc0");  // one digit only
  EXPECT_EQ(ExpandW(L"<\\5>", subs), L"<>");   // beyond the submatches: nothing
  EXPECT_EQ(ExpandW(L"a\\", subs), L"a");      // trailing backslash dropped
  EXPECT_EQ(ExpandW(L"\\\\\\$\\n", subs), L"\\$\n");
  EXPECT_EQ(ExpandW(L"\\L\\0X\\lABC", {L"HeLLo"}), L"helloxaBC");
  // \u waits over an empty piece for the next non-empty one.
  EXPECT_EQ(ExpandW(L"\\u\\1\\2", {L"q", L"", L"zed"}), L"Zed");
  // Only ASCII letters change case; Japanese and full-width letters pass unchanged.
  EXPECT_EQ(ExpandW(L"\\U\\1", {L"", L"日本ｂc"}), L"日本ｂC");
  // In the wide form a unit whose low byte is 'n' is not an escape letter.
  EXPECT_EQ(ExpandW(L"\\\x016E", {}), L"\x016E");
  EXPECT_EQ(TRegexReplacingPattern<char>("\\u\\1!").Expand({"ab", "ab"}), "Ab!");
}

TEST(ReplacingPattern, EscapesFollowTheModeAndOption) {
  // Normal mode with escapes: \n is a single line feed, no CR.
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"a,b", ",", 0, "\\n", true), L"a\nb");
  // Regex mode ignores the option: the template has its own escapes.
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"a,b", ",", 2, "\\n", false), L"a\nb");
  // Word mode replaces literally, backslash-1 included, unless escapes expand it.
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"x foo y", "foo", 1, "\\1"), L"x \\1 y");
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"x foo y", "foo", 1, "\\1", true), L"x 1 y");
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"日付: 2024-01-05", "(\\d+)-(\\d+)-(\\d+)", 2, "\\3/\\2/\\1"),
            L"日付: 05/01/2024");
}

TEST(ReplaceInText, SplicesByLineAndColumnInBothSearchModes) {
  // Two hits on one line: the second at its column in the original line.
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"ab ab\nab", "ab", 0, "XYZ"), L"XYZ XYZ\nXYZ");
  EXPECT_EQ(SearchAndReplace<wchar_t>(L"ab ab\nab\n", "ab", 0, "", false, true), L" \n\n");
  EXPECT_EQ(SearchAndReplace<char>("東京と東京", "東京", 0, "大阪"), "大阪と大阪");
  // Places from a whole-text search without line numbers (line 0, column = offset).
  std::wstring text = L"a\nb\na";
  TSearchInfo s;
  s.Text = "a";
  s.CaseSensitive = true;
  s.ShowLine = false;
  auto searched = CreateSearchedPattern(s);
  TPlaceList<wchar_t> list;
  SearchFileText<wchar_t>(dynamic_cast<TSearchedPattern<wchar_t>&>(*searched), text, list, "f");
  TNormalReplacingPattern<wchar_t> with(L"Q");
  EXPECT_TRUE(ReplaceInText<wchar_t>(with, text, list, "f"));
  EXPECT_EQ(text, L"Q\nb\nQ");
}

TEST(ReplaceInText, SkipsUncheckedOtherFilesAndOverlaps) {
  std::wstring text = L"one two one";
  TPlaceList<wchar_t> list;
  SearchAndReplace<wchar_t>(text, "one", 0, "1", false, false, &list);
  TNormalReplacingPattern<wchar_t> with(L"1");
  for (int i = 0; i < list.Count(); ++i) list.Item(i)->Checked = false;
  std::wstring same = text;
  EXPECT_FALSE(ReplaceInText<wchar_t>(with, same, list, "f"));
  EXPECT_EQ(same, text);
  list.Item(1)->Checked = true;
  EXPECT_FALSE(ReplaceInText<wchar_t>(with, same, list, "other"));
  EXPECT_TRUE(ReplaceInText<wchar_t>(with, same, list, "f"));
  EXPECT_EQ(same, L"one two 1");
  // A place that starts inside the previous replaced one is skipped.
  TPlaceList<wchar_t> overlapping;
  const std::wstring abc = L"abcdef";
  overlapping.Add(
      std::make_shared<TPlace<wchar_t>>("f", 0, abc, 1, 3, std::vector<std::wstring>{}, std::vector<int>{}));
  overlapping.Add(
      std::make_shared<TPlace<wchar_t>>("f", 0, abc, 2, 3, std::vector<std::wstring>{}, std::vector<int>{}));
  std::wstring target = abc;
  EXPECT_TRUE(ReplaceInText<wchar_t>(with, target, overlapping, "f"));
  EXPECT_EQ(target, L"a1ef");
}

TEST(ReplaceInText, PlacesWhoseHitIsGoneAreLeftOut) {
  TPlaceList<wchar_t> list;
  const std::wstring longer = L"x\ny\nzz";
  list.Add(
      std::make_shared<TPlace<wchar_t>>("f", 0, longer, 4, 2, std::vector<std::wstring>{}, std::vector<int>{1, 3}));
  TNormalReplacingPattern<wchar_t> with(L"!");
  // The file shrank: line 2 no longer exists.
  std::wstring shorter = L"x\n";
  TSpliceResult result = SpliceReplacements<wchar_t>(with, shorter, TNewLineKind::Lf, list, "f", nullptr);
  EXPECT_EQ(result.Replaced, 0);
  EXPECT_EQ(result.Stale, 1);
  EXPECT_EQ(shorter, L"x\n");
  // Other text at the place's line and column: never spliced into.
  std::wstring changed = L"x\ny\nzZ";
  result = SpliceReplacements<wchar_t>(with, changed, TNewLineKind::Lf, list, "f", nullptr);
  EXPECT_EQ(result.Stale, 1);
  EXPECT_EQ(changed, L"x\ny\nzZ");
  // Still there: replaced.
  std::wstring same = longer;
  EXPECT_TRUE(ReplaceInText<wchar_t>(with, same, list, "f"));
  EXPECT_EQ(same, L"x\ny\n!");
}
