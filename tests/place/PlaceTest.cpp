#include <gtest/gtest.h>

#include "place/PlaceList.h"

namespace {

std::vector<int> LineEnds(const std::wstring& text) {
  std::vector<int> ends;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == L'\n') ends.push_back(static_cast<int>(i));
  return ends;
}

}  // namespace

TEST(Place, HitAtStartHasEmptyTextBefore) {
  const std::wstring text = L"漢字abc";
  TPlace<wchar_t> p("f", 0, text, 0, 2, {}, LineEnds(text));
  EXPECT_EQ(p.Line, 0);
  EXPECT_EQ(p.Column, 0);
  EXPECT_EQ(p.GetText(), "漢字");
  EXPECT_EQ(p.GetPrevText(), "");
  EXPECT_EQ(p.GetNextText(), "abc");
  EXPECT_TRUE(p.Checked);
  EXPECT_EQ(p.FileName(), "f");
}

TEST(Place, ContextIsCutAtOneHundredUnits) {
  std::wstring text(300, L'あ');
  text.replace(150, 5, L"12345");
  TPlace<wchar_t> p("f", 0, text, 150, 5, {}, LineEnds(text));
  EXPECT_EQ(p.Column, 150);
  EXPECT_EQ(p.PrevText().size(), 100u);
  EXPECT_EQ(p.NextText().size(), 100u);
  EXPECT_EQ(p.Text(), L"12345");
  // Near the end fewer units follow.
  TPlace<wchar_t> end("f", 0, text, 295, 5, {}, {});
  EXPECT_EQ(end.NextText().size(), 0u);
  EXPECT_EQ(end.PrevText().size(), 100u);
}

TEST(Place, LineAndColumnFromLineFeeds) {
  const std::wstring text = L"a\nbb\nccc\nX";
  const auto ends = LineEnds(text);
  TPlace<wchar_t> afterThird("f", 0, text, 9, 1, {}, ends);
  EXPECT_EQ(afterThird.Line, 3);
  EXPECT_EQ(afterThird.Column, 0);
  TPlace<wchar_t> atFeed("f", 0, text, 4, 1, {}, ends);  // the second line feed itself
  EXPECT_EQ(atFeed.Line, 1);
  EXPECT_EQ(atFeed.Column, 2);
  TPlace<wchar_t> based("f", 7, text, 3, 1, {}, {});  // no line numbers: offset and base
  EXPECT_EQ(based.Line, 7);
  EXPECT_EQ(based.Column, 3);
}

TEST(Place, WideTextsConvertToUtf8AndNarrowCopyBytes) {
  std::wstring text = L"x";
  text.push_back(0xD83D);
  text.push_back(0xDE00);
  TPlace<wchar_t> wide("f", 0, text, 1, 2, {}, {});
  EXPECT_EQ(wide.GetText(), "\xF0\x9F\x98\x80");
  const std::string bytes = "\x93\xfa\x96\x7b";  // Shift-JIS bytes stay as they are
  TPlace<char> narrow("f", 0, bytes, 2, 2, {}, {});
  EXPECT_EQ(narrow.GetText(), "\x96\x7b");
  EXPECT_EQ(narrow.GetPrevText(), "\x93\xfa");
}

TEST(PlaceList, EraseAtIndexKeepsOrder) {
  TPlaceList<char> list;
  int added = 0;
  list.OnAdd = [&](TAbstractPlace*) { ++added; };
  const std::string text = "abcdef";
  for (std::size_t i = 0; i < 6; ++i)
    list.Add(std::make_shared<TPlace<char>>("f", 0, text, i, 1, std::vector<std::string>{}, std::vector<int>{}));
  EXPECT_EQ(added, 6);
  list.Erase(1, 2);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(0)->GetText(), "a");
  EXPECT_EQ(list.Item(1)->GetText(), "d");
  list.Erase(3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(2)->GetText(), "e");
}
