// The case-ignoring plain search without the regex engine must give exactly the
// places of the engine searching the quoted string with case ignored: in wide and
// narrow text, through the byte search of UTF-8 files, in every line-end style,
// line by line and over the whole text, with and without line numbers.

#include <gtest/gtest.h>

#include <cwctype>
#include <memory>
#include <random>
#include <string>

#include "TestSupport.h"
#include "core/FileSet.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/FoldedSearchedPattern.h"
#include "pattern/InvalidSearchedPattern.h"
#include "pattern/RegexQuoting.h"
#include "pattern/RegexSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/ShownPlace.h"
#include "pattern/Utf8FoldedFinder.h"
#include "pattern/Utf8PlainSearch.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "text/Conversions.h"
#include "text/File.h"

namespace {

template <class C>
void ExpectSamePlaces(const TPlaceList<C>& actual, const TPlaceList<C>& expected, const std::string& context) {
  ASSERT_EQ(actual.Count(), expected.Count()) << context;
  for (int i = 0; i < actual.Count(); ++i) {
    const TPlace<C>& a = *actual.TypedItem(i);
    const TPlace<C>& e = *expected.TypedItem(i);
    ASSERT_EQ(a.FileName(), e.FileName()) << context;
    ASSERT_EQ(a.Line, e.Line) << context << " place " << i;
    ASSERT_EQ(a.Column, e.Column) << context << " place " << i;
    ASSERT_EQ(a.Length, e.Length) << context << " place " << i;
    ASSERT_TRUE(a.Text() == e.Text()) << context << " place " << i;
    ASSERT_TRUE(a.PrevText() == e.PrevText()) << context << " place " << i;
    ASSERT_TRUE(a.NextText() == e.NextText()) << context << " place " << i;
    ASSERT_TRUE(a.SubMatches() == e.SubMatches()) << context << " place " << i;
  }
}

// Letters whose case folding is unusual under the engine: the Kelvin sign and the
// dotted capital I fold to ASCII, final sigma folds to itself, full-width letters,
// Cyrillic, a character outside the BMP, Japanese.
const wchar_t* const kPieces[] = {
    L"a",     L"A",      L"k",      L"K",      L"\x212A", L"i",      L"I",      L"\x130",
    L"\x131", L"s",      L"S",      L"\x17F",  L"\x3A3",  L"\x3C3",  L"\x3C2",  L"\x414",
    L"\x434", L"\xFF21", L"\xFF41", L"\xFF44", L"\xFF24", L"\x3042", L"\x6F22", L"\xD83D\xDE00",
    L"\xDF",  L"\x1E9E", L" ",      L"ab",     L"AB",     L"\v",     L"\f"};
const wchar_t* const kBreaks[][3] = {{L"\n"}, {L"\r\n"}, {L"\r"}, {L"\n", L"\r\n", L"\r"}};

std::wstring RandomWide(std::mt19937& random, int style, int pieces) {
  std::wstring text;
  const int count = static_cast<int>(random() % static_cast<unsigned>(pieces));
  for (int i = 0; i < count; ++i) {
    if (random() % 100 < 7) text += kBreaks[style][style == 3 ? random() % 3 : 0];
    else text += kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
  }
  return text;
}

// A needle: one to four pieces, or a piece of the text with its case changed.
std::wstring RandomNeedle(std::mt19937& random, const std::wstring& text) {
  std::wstring needle;
  if (text.size() > 4 && random() % 2 == 0) {
    const std::size_t at = random() % (text.size() - 3);
    needle = text.substr(at, 1 + random() % 3);
    for (wchar_t& c : needle)
      if (c < 0x80 && random() % 2) c = static_cast<wchar_t>(std::iswupper(c) ? std::towlower(c) : std::towupper(c));
  } else {
    const int count = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) needle += kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
  }
  // The search string has line ends as typed text (LF alone) and no half of a pair
  // cut by taking a piece.
  std::wstring clean;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const wchar_t c = needle[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < needle.size() && needle[i + 1] >= 0xDC00 && needle[i + 1] <= 0xDFFF) {
      clean += needle.substr(i++, 2);
      continue;
    }
    if (c != L'\r' && !high && !low) clean += c;
  }
  return clean.empty() ? L"a" : clean;
}

template <class C>
TPlaceList<C> SearchWith(const TSearchedPattern<C>& pattern, std::basic_string_view<C> text) {
  TPlaceList<C> list;
  SearchFileText<C>(pattern, text, list, "f");
  return list;
}

TEST(FoldedSearch, WideTextGivesThePlacesOfTheEngine) {
  std::mt19937 random(77);
  for (int round = 0; round < 600; ++round) {
    // Loaded text ends lines with LF alone, but stray CRs may stay.
    const std::wstring text = RandomWide(random, round % 4, 400);
    const std::wstring needle = RandomNeedle(random, text);
    for (const bool byLine : {false, true}) {
      for (const bool showLine : {false, true}) {
        const TFoldedSearchedPattern<wchar_t> folded(needle, byLine, showLine);
        const TRegexSearchedPattern<wchar_t> regex(QuoteRegex(needle), false, byLine, showLine);
        ASSERT_TRUE(regex.IsValid());
        ExpectSamePlaces(SearchWith<wchar_t>(folded, text), SearchWith<wchar_t>(regex, text),
                         "round " + std::to_string(round) + " needle " + hovrak::WideToAnsi(needle));
      }
    }
  }
}

TEST(FoldedSearch, NarrowTextGivesThePlacesOfTheEngine) {
  std::mt19937 random(78);
  for (int round = 0; round < 600; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 500);
    for (int i = 0; i < count; ++i) {
      const unsigned roll = random() % 100;
      // Letters, a few other bytes, Shift-JIS lead and trail bytes, line feeds.
      text += roll < 6    ? '\n'
              : roll < 60 ? static_cast<char>("aAbBkKzZ"[random() % 8])
              : roll < 80 ? static_cast<char>(0x80 + random() % 128)
                          : static_cast<char>(' ' + random() % 95);
    }
    std::string needle;
    const int length = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < length; ++i) needle += static_cast<char>("aAbBkK\x82\xA0 "[random() % 9]);
    for (const bool byLine : {false, true}) {
      const TFoldedSearchedPattern<char> folded(needle, byLine, true);
      const TRegexSearchedPattern<char> regex(QuoteRegex(needle), false, byLine, true);
      ExpectSamePlaces(SearchWith<char>(folded, text), SearchWith<char>(regex, text), "round " + std::to_string(round));
    }
  }
}

TEST(FoldedSearch, UsedForPlainSearchWithCaseIgnoredOnly) {
  TSearchInfo info;
  info.Text = "Abc";
  info.CaseSensitive = false;
  info.IsWide = true;
  EXPECT_NE(dynamic_cast<TFoldedSearchedPattern<wchar_t>*>(CreateSearchedPattern(info).get()), nullptr);
  info.IsWide = false;
  EXPECT_NE(dynamic_cast<TFoldedSearchedPattern<char>*>(CreateSearchedPattern(info).get()), nullptr);
  info.Mode = 1;
  EXPECT_EQ(dynamic_cast<TFoldedSearchedPattern<char>*>(CreateSearchedPattern(info).get()), nullptr);
  info.Mode = 0;
  info.Text.clear();
  EXPECT_THROW(CreateSearchedPattern(info), EInvalidSearchedPattern);
}

// The byte search of UTF-8 files, through the search run, against decoding the file and
// letting the engine search it.
TEST(FoldedSearch, Utf8BytesGiveThePlacesOfTheEngineOnTheDecodedText) {
  TTempDir dir;
  std::mt19937 random(79);
  int direct = 0;
  for (int round = 0; round < 300; ++round) {
    const std::wstring wide = RandomWide(random, round % 4, 500);
    const std::string text = hovrak::unicode_to_utf8(wide);
    const std::string path = dir / ("f" + std::to_string(round) + ".txt");
    const bool bom = round % 3 == 0;
    WriteWholeFile(path, (bom ? "\xEF\xBB\xBF" : "") + text);
    const TCharCode code = bom ? TCharCode::UTF8 : TCharCode::UTF8N;
    const std::wstring needle = RandomNeedle(random, wide);
    for (const bool byLine : {false, true}) {
      for (const bool showLine : {false, true}) {
        const std::string context = "round " + std::to_string(round) + " byLine " + std::to_string(byLine) +
                                    " showLine " + std::to_string(showLine) + " needle " + hovrak::WideToAnsi(needle);
        TSearchInfo info;
        info.Text = hovrak::WideToAnsi(needle);
        info.CaseSensitive = false;
        info.IsWide = true;
        info.ByLine = byLine;
        info.ShowLine = showLine;
        const auto pattern = CreateSearchedPattern(info);
        const TRegexSearchedPattern<wchar_t> regex(QuoteRegex(needle), false, byLine, showLine);
        TPlaceList<wchar_t> expected;
        TFile<wchar_t> file(path, code);
        ASSERT_EQ(file.Load(TFileReadOptions()), TFileOperationResult::Success);
        SearchFileText<wchar_t>(regex, file.Text, expected, path);

        TFileSet set;
        set.CharCode = code;
        set.SetFiles({path});
        TPlaceList<wchar_t> actual;
        set.Search(*pattern, actual);
        ExpectSamePlaces(actual, expected, context + " run");

        std::string_view bytes(text);
        TNewLineKind kind;
        if (TUtf8PlainSearch::CanSearch(bytes, false, kind)) {
          const TUtf8PlainSearch search(needle, true);
          if (!search.Usable()) continue;
          ++direct;
          TPlaceList<wchar_t> bytesOnly;
          search.Search(bytes, kind, byLine, showLine, bytesOnly, path);
          ExpectSamePlaces(bytesOnly, expected, context + " direct");
          ASSERT_TRUE(HandedOn([&](TPlaceList<wchar_t>& list) {
                        search.Search(bytes, kind, byLine, showLine, list, path);
                      }) == ShownPlaces(expected))
              << context << " handed on";
        }
      }
    }
  }
  EXPECT_GT(direct, 600);
}

TEST(FoldedSearch, FoldsAsTheEngineDoes) {
  const auto fold = TCaseFold::OfGlobalLocale();
  EXPECT_EQ(fold->Fold(L'A'), L'a');
  EXPECT_EQ(fold->Fold(wchar_t(0xFF21)), wchar_t(0xFF41));  // full-width A
  EXPECT_EQ(fold->Fold(wchar_t(0x212A)), L'k');             // Kelvin sign
  EXPECT_EQ(fold->Fold(wchar_t(0x3A3)), wchar_t(0x3C3));    // Greek capital sigma
  EXPECT_EQ(fold->Fold(wchar_t(0x414)), wchar_t(0x434));    // Cyrillic De
  EXPECT_EQ(fold->Variants(L'k'), (std::vector<wchar_t>{L'K', L'k', wchar_t(0x212A)}));
  EXPECT_EQ(fold->Fold(wchar_t(0xD83D)), wchar_t(0xD83D));
  // A Kelvin sign in the text matches "k": a hit of three bytes for one of one.
  const TUtf8PlainSearch search(L"k", true);
  TPlaceList<wchar_t> list;
  TNewLineKind kind;
  ASSERT_TRUE(TUtf8PlainSearch::CanSearch("x\xE2\x84\xAAy K", false, kind));
  search.Search("x\xE2\x84\xAAy K", kind, false, true, list, "f");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.TypedItem(0)->Text(), std::wstring(1, wchar_t(0x212A)));
  EXPECT_EQ(list.TypedItem(0)->Column, 1);
  EXPECT_EQ(list.TypedItem(1)->Text(), L"K");
  EXPECT_EQ(list.TypedItem(1)->Column, 4);
}

// Bytes from 0x80 up have case variants too (themselves at least): an ASCII-mode
// search with case ignored finds the UTF-8 bytes of 東京.
TEST(FoldedSearch, NarrowSearchFindsBytesAbove0x7F) {
  const auto fold = TCaseFold::OfGlobalLocale();
  EXPECT_EQ(fold->Variants('\xE6'), std::vector<char>{'\xE6'});
  const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
  const TFoldedFinder<char> finder(tokyo, fold);
  EXPECT_EQ(finder.Find(std::string_view("xx" + tokyo + "yy"), 0), 2u);
  EXPECT_EQ(finder.Find(std::string_view("x\xE6\x9D\xB1y"), 0), TFoldedFinder<char>::npos);
}

// A hit never starts before where the search starts, also when characters of
// several bytes stand before the one the finder scans for.
TEST(FoldedSearch, Utf8FinderNeverReachesBackBeforeItsStart) {
  const TUtf8FoldedFinder finder(L"a\u3042x", TCaseFold::OfGlobalLocale());  // "aあx", scanned for x
  ASSERT_TRUE(finder.Usable());
  const std::string text = "a\xE3\x81\x82x";
  std::size_t end = 0;
  EXPECT_EQ(finder.Find(text, 0, end), 0u);
  EXPECT_EQ(end, text.size());
  EXPECT_EQ(finder.Find(text, 1, end), TUtf8FoldedFinder::npos);
  EXPECT_EQ(finder.Find("A" + text, 1, end), 1u);
}

}  // namespace
