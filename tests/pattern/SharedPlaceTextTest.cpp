#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pattern/CreateSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "text/Utf8Context.h"

// Places that share their file's text give the texts that copied places hold: the
// same search is run keeping the places (many hits: they share) and not keeping
// them (each is copied and looked at as it comes).
namespace {

template <class C>
struct TSeen {
  std::string File;
  std::int32_t Line, Column, Length;
  std::basic_string<C> Text, Prev, Next;
  std::vector<std::basic_string<C>> Subs;
  std::string Narrow;
};

template <class C>
TSeen<C> See(const TPlace<C>& p) {
  return {p.FileName(), p.Line,         p.Column,
          p.Length,     p.Text(),       p.PrevText(),
          p.NextText(), p.SubMatches(), p.GetPrevText() + "|" + p.GetText() + "|" + p.GetNextText()};
}

template <class C>
void ExpectSame(const std::vector<TSeen<C>>& copied, const TPlaceList<C>& kept, const std::string& context) {
  ASSERT_EQ(static_cast<int>(copied.size()), kept.Count()) << context;
  ASSERT_GT(kept.Count(), 0) << context;
  EXPECT_TRUE(kept.TypedItem(kept.Count() - 1)->SharesText()) << context;
  EXPECT_FALSE(kept.TypedItem(0)->SharesText()) << context;  // copied until the copies outgrow the text
  for (int i = 0; i < kept.Count(); ++i) {
    const TSeen<C> a = See(*kept.TypedItem(i));
    const TSeen<C>& e = copied[static_cast<std::size_t>(i)];
    ASSERT_EQ(a.File, e.File) << context;
    ASSERT_EQ(a.Line, e.Line) << context << " place " << i;
    ASSERT_EQ(a.Column, e.Column) << context << " place " << i;
    ASSERT_EQ(a.Length, e.Length) << context << " place " << i;
    ASSERT_TRUE(a.Text == e.Text) << context << " place " << i;
    ASSERT_TRUE(a.Prev == e.Prev) << context << " place " << i;
    ASSERT_TRUE(a.Next == e.Next) << context << " place " << i;
    ASSERT_TRUE(a.Subs == e.Subs) << context << " place " << i;
    ASSERT_EQ(a.Narrow, e.Narrow) << context << " place " << i;
  }
}

// Dense hits of "x" around characters outside the BMP, so that the 100-unit cuts
// fall between the halves of a pair, on lines of different lengths.
std::wstring DenseText(bool pairs) {
  std::wstring text;
  for (int line = 0; line < 60; ++line) {
    for (int k = 0; k < 150 + line * 7; ++k) {
      if (k % 37 == 0) text += L'x';
      else if (pairs && k % 5 == 1) text += L"\xD842\xDFB7";  // 𠮷
      else text += static_cast<wchar_t>(L'\x3042' + k % 40);
    }
    text += L'\n';
  }
  return text;
}

template <class C>
void Compare(const std::basic_string<C>& text, const std::string& search, bool regex, bool ignoreCase, bool byLine,
             bool showLine, const std::string& context) {
  TSearchInfo info;
  info.Text = search;
  info.CaseSensitive = !ignoreCase;
  info.Mode = regex ? 2 : 0;
  info.ByLine = byLine;
  info.ShowLine = showLine;
  info.IsWide = sizeof(C) > 1;
  const auto pattern = CreateSearchedPattern(info);
  const auto& typed = dynamic_cast<const TSearchedPattern<C>&>(*pattern);
  TPlaceList<C> copies;
  copies.KeepPlaces = false;
  std::vector<TSeen<C>> seen;
  // Handed on, a place borrows the text; a copy of it, which may be kept, copies.
  copies.OnAdd = [&seen](TAbstractPlace* p) {
    EXPECT_TRUE(static_cast<TPlace<C>*>(p)->SharesText());
    const TPlace<C> copy(*static_cast<TPlace<C>*>(p));
    EXPECT_FALSE(copy.SharesText());
    seen.push_back(See(copy));
  };
  SearchFileText<C>(typed, text, copies, "dir/f.txt");
  TPlaceList<C> kept;
  SearchFileText<C>(typed, text, kept, "dir/f.txt");
  ExpectSame(seen, kept, context);
}

}  // namespace

TEST(SharedPlaceText, DecodedTextGivesTheTextsOfCopies) {
  for (const bool pairs : {false, true})
    for (const bool byLine : {false, true})
      for (const bool showLine : {false, true}) {
        const std::string context = "pairs " + std::to_string(pairs) + " byLine " + std::to_string(byLine) +
                                    " showLine " + std::to_string(showLine);
        const std::wstring text = DenseText(pairs);
        Compare<wchar_t>(text, "x", false, false, byLine, showLine, context + " plain");
        Compare<wchar_t>(text, "X", false, true, byLine, showLine, context + " ignoring case");
        Compare<wchar_t>(text, "(x)(\xE3\x81\x82)?", true, false, byLine, showLine, context + " regex");
        std::wstring shortLines;
        for (int line = 0; line < 500; ++line) shortLines += L"x" + std::wstring(20, L'\x3042') + L"\n";
        Compare<wchar_t>(shortLines, "\nx", false, false, false, showLine, context + " across lines");
        const std::string narrow(text.begin(), text.end());  // units cut to bytes: any byte text
        Compare<char>(narrow, "x", false, false, byLine, showLine, context + " narrow");
      }
}

TEST(SharedPlaceText, Utf8BytesGiveTheTextsOfCopies) {
  const std::wstring wide = DenseText(true);
  for (const char* end : {"\n", "\r\n", "\r"})
    for (const bool fold : {false, true})
      for (const bool byLine : {false, true})
        for (const bool showLine : {false, true}) {
          std::wstring withEnds;
          for (const wchar_t c : wide) withEnds += c == L'\n' ? hovrak::AnsiToWide(end) : std::wstring(1, c);
          const std::string bytes = hovrak::WideToAnsi(withEnds);
          TNewLineKind kind;
          ASSERT_TRUE(TUtf8PlainSearch::CanSearch(bytes, false, kind));
          const TUtf8PlainSearch search(fold ? L"X" : L"x", fold);
          ASSERT_TRUE(search.Usable());
          TPlaceList<wchar_t> copies;
          copies.KeepPlaces = false;
          std::vector<TSeen<wchar_t>> seen;
          copies.OnAdd = [&seen](TAbstractPlace* p) {
            const TPlace<wchar_t> copy(*static_cast<TPlace<wchar_t>*>(p));
            EXPECT_FALSE(copy.SharesText());
            seen.push_back(See(copy));
          };
          search.Search(bytes, kind, byLine, showLine, copies, "f");
          TPlaceList<wchar_t> kept;
          search.Search(bytes, kind, byLine, showLine, kept, "f");
          ExpectSame(seen, kept,
                     std::string("end ") + (end[0] == '\r' ? end[1] ? "CRLF" : "CR" : "LF") + " fold " +
                         std::to_string(fold) + " byLine " + std::to_string(byLine) + " showLine " +
                         std::to_string(showLine));
        }
}

// A few hits in a long text stay copies: sharing the text would take more.
TEST(SharedPlaceText, SparseHitsKeepTheirOwnCopies) {
  std::wstring text(20000, L'\x3042');
  text[50] = text[10000] = text[19990] = L'x';
  TSearchInfo info;
  info.Text = "x";
  info.CaseSensitive = true;
  info.IsWide = true;
  const auto pattern = CreateSearchedPattern(info);
  TPlaceList<wchar_t> kept;
  SearchFileText<wchar_t>(dynamic_cast<const TSearchedPattern<wchar_t>&>(*pattern), text, kept, "f");
  ASSERT_EQ(kept.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(kept.TypedItem(i)->SharesText());
  EXPECT_EQ(kept.TypedItem(2)->NextText(), std::wstring(9, L'\x3042'));
  EXPECT_EQ(kept.TypedItem(0)->PrevText(), std::wstring(50, L'\x3042'));
}

TEST(SharedPlaceText, CopyOfAPlaceKeepsItsTexts) {
  const std::wstring text = L"ab\xD842\xDFB7x\xD842\xDFB7yz";
  const TPlace<wchar_t> copied("f", 0, text, 4, 1, {L"x"}, {});
  const TPlace<wchar_t> again(copied);
  EXPECT_EQ(again.PrevText(), L"ab\xD842\xDFB7");
  EXPECT_EQ(again.Text(), L"x");
  EXPECT_EQ(again.NextText(), L"\xD842\xDFB7yz");
  EXPECT_EQ(again.SubMatches(), std::vector<std::wstring>{L"x"});
  auto shared = std::make_shared<const TSharedPlaceText<wchar_t>>("g", text);
  const TPlace<wchar_t> cut(shared, 0, 4, 1, 4, 5, 2, 8, {}, true);
  const TPlace<wchar_t> cutAgain(cut);
  EXPECT_EQ(cutAgain.FileName(), "g");
  EXPECT_EQ(cutAgain.PrevText(), L"\xD842\xDFB7");   // not before the searched text's start
  EXPECT_EQ(cutAgain.NextText(), L"\xD842\xDFB7y");  // nor past its end
  EXPECT_EQ(cutAgain.SubMatches(), std::vector<std::wstring>{L"x"});
}
