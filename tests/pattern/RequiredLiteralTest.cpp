// The string an expression's every match contains, and the search that passes over
// texts and lines without it: the places must be those of running the engine on
// every line or the whole text.

#include <gtest/gtest.h>

#include <random>

#include <boost/regex.hpp>
#include <string>

#include "TestSupport.h"
#include "core/FileSet.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/RegexQuoting.h"
#include "pattern/RegexSearchedPattern.h"
#include "pattern/RequiredLiteral.h"
#include "pattern/SearchFileText.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "text/Conversions.h"
#include "text/File.h"

namespace {

TEST(RequiredLiteral, TakesTheLongestRunThatEveryMatchHolds) {
  EXPECT_EQ(RequiredLiteral("abc"), "abc");
  EXPECT_EQ(RequiredLiteral("ab*cde"), "cde");  // b may be absent
  EXPECT_EQ(RequiredLiteral("abcd?e"), "abc");
  EXPECT_EQ(RequiredLiteral("x{2,3}yz"), "yz");
  EXPECT_EQ(RequiredLiteral("a+?bc"), "bc");
  EXPECT_EQ(RequiredLiteral("(foo)+barbaz"), "barbaz");
  EXPECT_EQ(RequiredLiteral("[abc]def[^]x]gh"), "def");
  EXPECT_EQ(RequiredLiteral("a.b\\.cd"), "b.cd");
  EXPECT_EQ(RequiredLiteral("\\<file\\>"), "file");
  EXPECT_EQ(RequiredLiteral("\\<foo\\>\\s*\\<bar\\>"), "foo");
  EXPECT_EQ(RequiredLiteral("a\\tb\\nc"), "a\tb\nc");
  EXPECT_EQ(RequiredLiteral("a\\vbc"), "bc");  // any vertical space, not a vertical tab
  EXPECT_EQ(RequiredLiteral("^abc$"), "abc");
  EXPECT_EQ(RequiredLiteral(L"ファイル(を|の)[^。]*?指定"), L"ファイル");
  EXPECT_EQ(RequiredLiteral("a\\+b"), "a+b");
  EXPECT_EQ(RequiredLiteral("x\\`ab\\'"), "ab");
}

TEST(RequiredLiteral, GivesNothingWhereItCannotBeSure) {
  EXPECT_EQ(RequiredLiteral("abc|def"), "");   // alternatives at the top
  EXPECT_EQ(RequiredLiteral("(?i)abc"), "");   // modifiers
  EXPECT_EQ(RequiredLiteral("(?=abc)x"), "");  // look-ahead
  EXPECT_EQ(RequiredLiteral("\\x41BC"), "");   // escapes with arguments
  EXPECT_EQ(RequiredLiteral("\\QA.B\\E"), "");
  EXPECT_EQ(RequiredLiteral("\\1abc"), "");
  EXPECT_EQ(RequiredLiteral("\\p{L}abc"), "");
  EXPECT_EQ(RequiredLiteral("[[:alpha:]]abc"), "");
  EXPECT_EQ(RequiredLiteral("(abc"), "");
  EXPECT_EQ(RequiredLiteral("a{2"), "");
  EXPECT_EQ(RequiredLiteral(".*"), "");
  EXPECT_EQ(RequiredLiteral(""), "");
}

TEST(RequiredLiteral, LeadingRunOnlyWhenEveryMatchStartsWithIt) {
  EXPECT_EQ(LeadingLiteral(L"ファイル(を|の)[^。]*?指定"), L"ファイル");
  EXPECT_EQ(LeadingLiteral("\\<file\\>"), "file");
  EXPECT_EQ(LeadingLiteral("^\\bab*c"), "a");
  EXPECT_EQ(LeadingLiteral("Win[a-z]+s"), "Win");
  EXPECT_EQ(LeadingLiteral("a*bc"), "");
  EXPECT_EQ(LeadingLiteral(".abc"), "");
  EXPECT_EQ(LeadingLiteral("[ab]cd"), "");
  EXPECT_EQ(LeadingLiteral("\\sab"), "");
  EXPECT_EQ(LeadingLiteral("(x)ab"), "");
  EXPECT_EQ(LeadingLiteral("ab(c)|d"), "");
  EXPECT_EQ(LeadingLiteral("ab\\Kc"), "");
}

// The places of the engine alone: regex_grep over every line, or the whole text.
template <class C>
TPlaceList<C> Unfiltered(const std::basic_string<C>& expression, bool caseSensitive, bool byLine,
                         std::basic_string_view<C> text) {
  const boost::basic_regex<C> regex(expression, TRegexSearchedPattern<C>::Flags(caseSensitive));
  TPlaceList<C> list;
  typename TSearchedPattern<C>::TPlaceAddingInfo info;
  info.PlaceList = &list;
  info.FileName = "f";
  const auto grep = [&](std::basic_string_view<C> part) {
    boost::regex_grep(
        [&](const boost::match_results<const C*>& m) {
          std::vector<std::basic_string<C>> subs;
          for (std::size_t i = 0; i < m.size(); ++i)
            subs.emplace_back(m[i].matched ? std::basic_string<C>(m[i].first, m[i].second) : std::basic_string<C>());
          AddPlace<C>(info, part, static_cast<std::size_t>(m[0].first - part.data()),
                      static_cast<std::size_t>(m[0].second - m[0].first), std::move(subs));
          return true;
        },
        part.data(), part.data() + part.size(), regex);
  };
  if (!byLine) {
    info.LineEndsText = text;
    info.LineEndsPending = true;
    grep(text);
    return list;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(C('\n'), start);
    const std::size_t stop = end == std::basic_string_view<C>::npos ? text.size() : end;
    grep(text.substr(start, stop - start));
    if (end == std::basic_string_view<C>::npos) break;
    start = end + 1;
    ++info.LineBase;
  }
  return list;
}

template <class C>
void ExpectSame(const TPlaceList<C>& a, const TPlaceList<C>& e, const std::string& context) {
  ASSERT_EQ(a.Count(), e.Count()) << context;
  for (int i = 0; i < a.Count(); ++i) {
    ASSERT_EQ(a.TypedItem(i)->Line, e.TypedItem(i)->Line) << context;
    ASSERT_EQ(a.TypedItem(i)->Column, e.TypedItem(i)->Column) << context;
    ASSERT_TRUE(a.TypedItem(i)->Text() == e.TypedItem(i)->Text()) << context;
    ASSERT_TRUE(a.TypedItem(i)->PrevText() == e.TypedItem(i)->PrevText()) << context;
    ASSERT_TRUE(a.TypedItem(i)->NextText() == e.TypedItem(i)->NextText()) << context;
    ASSERT_TRUE(a.TypedItem(i)->SubMatches() == e.TypedItem(i)->SubMatches()) << context;
  }
}

TEST(RequiredLiteral, PassingOverLinesKeepsEveryPlace) {
  const wchar_t* const expressions[] = {L"ab",       L"a[bc]d",  L"(x|y)ab",       L"ab\\s*c", L"\\<ab\\>",
                                        L"b.*a",     L"Ab",      L"\xFF21\xFF42+", L"^ab",     L"ab$",
                                        L"a\\nb",    L"k\\.",    L"ab?",           L"\\bba",   L"\\Bab",
                                        L"a(b)?c|x", L"(?<=b)a", L"ab*",           L"\\`ab",   L"\\<a\\>\\s*\\<b\\>",
                                        L"a.*?b",    L"aa",      L"a\\vb",         L"\\Vab"};
  const wchar_t* const pieces[] = {L"a",      L"b", L"c", L"d",      L"A",      L"B",      L" ",      L"\n", L"x",
                                   L"\x212A", L"k", L".", L"\xFF21", L"\xFF42", L"\xFF22", L"\x3042", L"\v", L"\f"};
  std::mt19937 random(5);
  for (int round = 0; round < 400; ++round) {
    std::wstring text;
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) text += pieces[random() % (sizeof pieces / sizeof *pieces)];
    for (const wchar_t* expression : expressions) {
      for (const bool caseSensitive : {true, false}) {
        for (const bool byLine : {false, true}) {
          const TRegexSearchedPattern<wchar_t> pattern(expression, caseSensitive, byLine, true);
          ASSERT_TRUE(pattern.IsValid());
          TPlaceList<wchar_t> actual;
          SearchFileText<wchar_t>(pattern, text, actual, "f");
          ExpectSame(actual, Unfiltered<wchar_t>(expression, caseSensitive, byLine, text),
                     "round " + std::to_string(round) + " " + hovrak::WideToAnsi(expression));
        }
      }
    }
  }
}

// Through the search run: UTF-8 files without the string are not decoded, and the
// places stay those of decoding every file.
TEST(RequiredLiteral, Utf8FilesWithoutTheStringArePassedOver) {
  TTempDir dir;
  std::mt19937 random(6);
  // Line ends of one kind per file (LF, CR LF, CR), or mixed; the byte search takes
  // the files whose kind it can tell.
  const char* const pieces[] = {"a", "b", "A", "\n", "\xE3\x81\x82", "\xEF\xBD\x81", "\xEF\xBC\xA1", " "};
  const char* const breaks[] = {"\n", "\r\n", "\r"};
  std::vector<std::string> paths;
  for (int i = 0; i < 80; ++i) {
    std::string text;
    const int count = static_cast<int>(random() % 200);
    for (int k = 0; k < count; ++k) {
      const unsigned piece = random() % 8;
      text += piece != 3 ? pieces[piece] : breaks[i % 4 == 3 ? random() % 3 : i % 4];
    }
    paths.push_back(dir / ("f" + std::to_string(i) + ".txt"));
    WriteWholeFile(paths.back(), text);
  }
  for (const char* expression : {"a\xE3\x81\x82+b", "\xEF\xBD\x81[ab]", "ab", "b\\s*a"}) {
    for (const bool caseSensitive : {true, false}) {
      for (const bool byLine : {false, true}) {
        TSearchInfo info;
        info.Text = expression;
        info.Mode = 2;
        info.IsWide = true;
        info.CaseSensitive = caseSensitive;
        info.ByLine = byLine;
        info.ShowLine = true;
        const auto pattern = CreateSearchedPattern(info);
        const auto& typed = dynamic_cast<const TRegexSearchedPattern<wchar_t>&>(*pattern);
        ASSERT_FALSE(typed.Required().empty()) << expression;
        TFileSet set;
        set.CharCode = TCharCode::UTF8N;
        set.SetFiles(paths);
        TPlaceList<wchar_t> actual;
        set.Search(*pattern, actual);
        TPlaceList<wchar_t> expected;
        for (const std::string& path : paths) {
          TFile<wchar_t> file(path, TCharCode::UTF8N);
          ASSERT_EQ(file.Load(TFileReadOptions()), TFileOperationResult::Success);
          TPlaceList<wchar_t> one =
              Unfiltered<wchar_t>(hovrak::AnsiToWide(expression), caseSensitive, byLine, file.Text);
          for (int k = 0; k < one.Count(); ++k) {
            auto place = std::make_shared<TPlace<wchar_t>>(*one.TypedItem(k));
            place->SetFileName(path);
            expected.Add(place);
          }
        }
        ExpectSame(actual, expected, expression);
        // A search whose places are handed on and not kept (as mirun-cli prints them)
        // decodes only the lines holding the string, line by line.
        TPlaceList<wchar_t> handedOn;
        handedOn.KeepPlaces = false;
        TPlaceList<wchar_t> seen;
        handedOn.OnAdd = [&](TAbstractPlace* place) {
          const auto& typed = dynamic_cast<const TPlace<wchar_t>&>(*place);
          seen.Add(std::make_shared<TPlace<wchar_t>>(typed));
        };
        set.Search(*pattern, handedOn);
        ExpectSame(seen, expected, std::string(expression) + " handed on");
      }
    }
  }
}

}  // namespace
