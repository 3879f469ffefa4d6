#include <gtest/gtest.h>

#include <vector>

#include "front/ViewSelection.h"

using hovrak::ClampViewSelection;
using hovrak::TNarrowShown;
using hovrak::TViewSelection;
using hovrak::ViewSelection;

namespace {

void ExpectSelection(const TViewSelection& s, int line, int column, int length) {
  EXPECT_EQ(s.Line, line);
  EXPECT_EQ(s.Column, column);
  EXPECT_EQ(s.Length, length);
}

TViewSelection Clamp(TViewSelection s, const std::vector<int>& lines) {
  return ClampViewSelection(s, static_cast<int>(lines.size()), [&lines](int i) { return lines.at(i); });
}

}  // namespace

TEST(ViewSelectionTest, WideLineColumnAndHitsOverLineFeeds) {
  const std::wstring text = L"ab\ncdefg\nhi";
  ExpectSelection(ViewSelection(text, 1, 2, 3), 1, 2, 3);
  // A whole-text hit without line numbers: line 0, column from the text's start.
  ExpectSelection(ViewSelection(text, 0, 10, 1), 2, 1, 1);
  // A column that ends right after a line feed starts the next line.
  ExpectSelection(ViewSelection(text, 0, 3, 2), 1, 0, 2);
  // A line feed inside the hit is one unit of the selection.
  ExpectSelection(ViewSelection(text, 1, 3, 4), 1, 3, 4);
  // Characters outside the BMP are two units before and inside the hit.
  const std::wstring wide = L"\xD842\xDFB7x\n\xD842\xDFB7y";
  ExpectSelection(ViewSelection(wide, 1, 0, 3), 1, 0, 3);
  ExpectSelection(ViewSelection(wide, 0, 2, 1), 0, 2, 1);
}

TEST(ViewSelectionTest, NarrowBytesBecomeEditorUnits) {
  // "日" is 3 bytes and one unit, U+20BB7 4 bytes and two units.
  const std::string text =
      "\xE6\x97\xA5"
      "a\n\xF0\xA0\xAE\xB7"
      "b\xE6\x97\xA5"
      "c";
  ExpectSelection(ViewSelection(text, 0, 3, 1, TNarrowShown::Utf8), 0, 1, 1);
  ExpectSelection(ViewSelection(text, 1, 4, 4, TNarrowShown::Utf8), 1, 2, 2);
  ExpectSelection(ViewSelection(text, 1, 0, 8, TNarrowShown::Utf8), 1, 0, 4);
  // Whole-text offsets in bytes, over the line feed.
  ExpectSelection(ViewSelection(text, 0, 9, 1, TNarrowShown::Utf8), 1, 2, 1);
  // Bytes shown as code page 932: "日" is 2 bytes there.
  const std::string sjis =
      "\x93\xFA"
      "a\n\x93\xFA\x96\x7B"
      "b";
  ExpectSelection(ViewSelection(sjis, 0, 2, 1, TNarrowShown::Cp932), 0, 1, 1);
  ExpectSelection(ViewSelection(sjis, 1, 2, 3, TNarrowShown::Cp932), 1, 1, 2);
}

TEST(ViewSelectionTest, PlacesBeyondTheTextAreClamped) {
  const std::wstring text = L"abc\nde";
  // A line the text no longer has stays for the clamp, which goes to the end of the
  // last line with nothing selected.
  const TViewSelection beyond = ViewSelection(text, 5, 1, 2);
  EXPECT_EQ(beyond.Line, 5);
  ExpectSelection(Clamp(beyond, {3, 2}), 1, 2, 0);
  // A hit running past the end selects what there is.
  ExpectSelection(ViewSelection(text, 1, 1, 10), 1, 1, 1);
  // A column past its line's end stops at the end.
  ExpectSelection(Clamp(TViewSelection{0, 7, 1}, {3, 2}), 0, 3, 1);
  ExpectSelection(Clamp(TViewSelection{3, 7, 1}, {}), 0, 0, 0);
  ExpectSelection(Clamp(TViewSelection{1, 1, 1}, {3, 2}), 1, 1, 1);
}
