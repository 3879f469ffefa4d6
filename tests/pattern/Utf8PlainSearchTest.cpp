#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/FileSet.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/ShownPlace.h"
#include "pattern/Utf8PlainSearch.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "text/File.h"

namespace {

std::unique_ptr<TAbstractSearchedPattern> Plain(const std::string& text, bool byLine, bool showLine) {
  TSearchInfo info;
  info.Text = text;
  info.CaseSensitive = true;
  info.ByLine = byLine;
  info.ShowLine = showLine;
  return CreateSearchedPattern(info);
}

// The places of decoding the file in code and searching the whole decoded text.
TPlaceList<wchar_t> Decoded(const std::string& path, TCharCode code, const TAbstractSearchedPattern& pattern) {
  TPlaceList<wchar_t> list;
  TFile<wchar_t> file(path, code);
  if (file.Load(TFileReadOptions()) == TFileOperationResult::Success)
    SearchFileText<wchar_t>(dynamic_cast<const TSearchedPattern<wchar_t>&>(pattern), file.Text, list, path);
  return list;
}

void ExpectSamePlaces(const TPlaceList<wchar_t>& actual, const TPlaceList<wchar_t>& expected,
                      const std::string& context) {
  ASSERT_EQ(actual.Count(), expected.Count()) << context;
  for (int i = 0; i < actual.Count(); ++i) {
    const TPlace<wchar_t>& a = *actual.TypedItem(i);
    const TPlace<wchar_t>& e = *expected.TypedItem(i);
    ASSERT_EQ(a.FileName(), e.FileName()) << context;
    ASSERT_EQ(a.Line, e.Line) << context << " place " << i;
    ASSERT_EQ(a.Column, e.Column) << context << " place " << i;
    ASSERT_EQ(a.Length, e.Length) << context;
    ASSERT_TRUE(a.Text() == e.Text()) << context;
    ASSERT_TRUE(a.PrevText() == e.PrevText())
        << context << " place " << i << ": " << a.GetPrevText() << " | " << e.GetPrevText();
    ASSERT_TRUE(a.NextText() == e.NextText())
        << context << " place " << i << ": " << a.GetNextText() << " | " << e.GetNextText();
    ASSERT_EQ(a.SubMatches().size(), e.SubMatches().size()) << context;
    ASSERT_TRUE(a.Checked);
  }
}

// Random text of pieces with the line ends of one style: "\n", "\r\n", "\r", or a
// mixture with stray CRs; now and then a malformed byte.
// breaks: percent of pieces that end a line; few make lines longer than the context.
std::string RandomText(std::mt19937& random, int style, bool ascii, unsigned breaks = 8) {
  static const char* const kJapanese[] = {
      "a", "b", " ", "\xE3\x81\x82", "\xE3\x81\x84", "\xE6\xBC\xA2", "\xF0\x9F\x98\x80", "\xC3\xA9", "ab"};
  static const char* const kBreaks[][3] = {{"\n"}, {"\r\n"}, {"\r"}, {"\n", "\r\n", "\r"}};
  std::string text;
  const int pieces = static_cast<int>(random() % 700);
  for (int i = 0; i < pieces; ++i) {
    const unsigned roll = random() % 100;
    if (roll < breaks) {
      text += kBreaks[style][style == 3 ? random() % 3 : 0];
    } else if (roll == 8 && style == 3 && random() % 4 == 0) {
      text += '\xE3';  // a cut sequence: the file is no longer UTF-8
    } else if (roll == 9 && random() % 8 == 0) {
      text += '\0';  // the narrow texts stop at a NUL
    } else {
      text += kJapanese[random() % (ascii ? 3 : 9)];
    }
  }
  return text;
}

}  // namespace

TEST(Utf8PlainSearch, SearchingTheBytesGivesThePlacesOfSearchingTheDecodedText) {
  TTempDir dir;
  std::mt19937 random(2024);
  const char* const needles[] = {"a",
                                 "ab",
                                 "b a",
                                 "\xE3\x81\x82\xE3\x81\x84",
                                 "\xF0\x9F\x98\x80",
                                 "\xE6\xBC\xA2\xF0\x9F\x98\x80"
                                 "a",
                                 "aa"};
  int direct = 0;
  for (int round = 0; round < 400; ++round) {
    const int style = round % 4;
    const bool ascii = round % 5 == 0;
    const bool bom = !ascii && round % 3 == 0;
    const std::string text = RandomText(random, style, ascii, round % 8 < 2 ? 1 : 8);
    const std::string path = dir / ("f" + std::to_string(round) + ".txt");
    WriteWholeFile(path, (bom ? "\xEF\xBB\xBF" : "") + text);
    // Ascii text is read as Shift-JIS; the rest as UTF-8 with or without a BOM.
    const TCharCode code = ascii ? TCharCode::SJIS : bom ? TCharCode::UTF8 : TCharCode::UTF8N;
    const std::string needle = needles[random() % (ascii ? 3 : 7)];
    for (const bool byLine : {false, true}) {
      for (const bool showLine : {false, true}) {
        const auto pattern = Plain(needle, byLine, showLine);
        const std::string context = "round " + std::to_string(round) + " byLine " + std::to_string(byLine) +
                                    " showLine " + std::to_string(showLine) + " needle " + needle;
        const TPlaceList<wchar_t> expected = Decoded(path, code, *pattern);
        // Through the search run, with the code given and detected.
        for (const TCharCode runCode : {code, TCharCode::Auto}) {
          TFileSet set;
          set.CharCode = runCode;
          set.SetFiles({path});
          TPlaceList<wchar_t> actual;
          set.Search(*pattern, actual);
          ExpectSamePlaces(actual, Decoded(path, runCode, *pattern),
                           context + (runCode == code ? " given" : " detected"));
        }
        // The byte search itself, wherever the bytes allow it.
        std::string_view bytes(text);
        TNewLineKind kind;
        if (TUtf8PlainSearch::CanSearch(bytes, ascii, kind)) {
          ++direct;
          TUtf8PlainSearch search(hovrak::AnsiToWide(needle));
          ASSERT_TRUE(search.Usable());
          TPlaceList<wchar_t> actual;
          EXPECT_EQ(search.Search(bytes, kind, byLine, showLine, actual, path), expected.Count() > 0);
          ExpectSamePlaces(actual, expected, context + " direct");
          // Handed on and dropped at once, the places borrow the bytes.
          const std::vector<TShown> shown = ShownPlaces(expected);
          ASSERT_TRUE(ShownPlaces(actual) == shown) << context;
          ASSERT_TRUE(HandedOn([&](TPlaceList<wchar_t>& list) {
                        search.Search(bytes, kind, byLine, showLine, list, path);
                      }) == shown)
              << context << " handed on";
        }
      }
    }
  }
  // Most files are searched directly; the malformed and stray-CR ones are not.
  EXPECT_GT(direct, 800);
  EXPECT_LT(direct, 1600);
}

TEST(Utf8PlainSearch, RefusesWhatBytesCannotShow) {
  EXPECT_FALSE(TUtf8PlainSearch(L"").Usable());
  EXPECT_FALSE(TUtf8PlainSearch(L"a\nb").Usable());
  EXPECT_FALSE(TUtf8PlainSearch(L"a\r").Usable());
  EXPECT_FALSE(TUtf8PlainSearch(std::wstring(1, wchar_t(0xD83D))).Usable());  // high surrogate alone
  EXPECT_FALSE(TUtf8PlainSearch(std::wstring(1, wchar_t(0xDE00))).Usable());  // low surrogate alone
  EXPECT_TRUE(TUtf8PlainSearch(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}).Usable());
  EXPECT_TRUE(TUtf8PlainSearch(L"\x3042").Usable());

  TNewLineKind kind;
  EXPECT_TRUE(TUtf8PlainSearch::CanSearch("a\r\nb\r\n", false, kind));
  EXPECT_EQ(kind, TNewLineKind::CrLf);
  // Loading drops this CR and joins "a" and "b".
  EXPECT_FALSE(TUtf8PlainSearch::CanSearch("x\r\na\rb", false, kind));
  EXPECT_FALSE(TUtf8PlainSearch::CanSearch("x\r\nab\r", false, kind));
  EXPECT_TRUE(TUtf8PlainSearch::CanSearch("x\na\rb", false, kind));
  EXPECT_EQ(kind, TNewLineKind::Lf);
  EXPECT_TRUE(TUtf8PlainSearch::CanSearch("x\ra\r\nb", false, kind));
  EXPECT_EQ(kind, TNewLineKind::Cr);
  EXPECT_FALSE(TUtf8PlainSearch::CanSearch("\xE3\x81", false, kind));
  EXPECT_FALSE(TUtf8PlainSearch::CanSearch("\xE3\x81\x82", true, kind));  // not ASCII
}
