// A context cut at a fixed count of UTF-16 units that goes through a character
// outside the BMP leaves that character out instead of showing a broken half.
#include <gtest/gtest.h>

#include "front/CsvWriter.h"
#include "place/Place.h"

namespace {

const std::wstring kYoshi = L"\xD842\xDFB7";  // U+20BB7, two units

TEST(SplitPair, PlaceTextsLeaveOutTheHalfTheHundredUnitCutLeft) {
  // The hit has 99 units and half a pair before it within 100, and after it.
  const std::wstring text = kYoshi + std::wstring(99, L'a') + L"HIT" + std::wstring(99, L'b') + kYoshi;
  const TPlace<wchar_t> place("f", 0, text, 101, 3, {}, {});
  ASSERT_EQ(place.PrevText().size(), 100u);
  ASSERT_EQ(place.NextText().size(), 100u);
  EXPECT_EQ(place.GetPrevText(), std::string(99, 'a'));
  EXPECT_EQ(place.GetNextText(), std::string(99, 'b'));
  // Whole pairs inside the context stay.
  const std::wstring whole = std::wstring(98, L'a') + kYoshi + L"HIT" + kYoshi + std::wstring(98, L'b');
  const TPlace<wchar_t> kept("f", 0, whole, 100, 3, {}, {});
  EXPECT_EQ(kept.GetPrevText(), std::string(98, 'a') + "𠮷");
  EXPECT_EQ(kept.GetNextText(), "𠮷" + std::string(98, 'b'));
}

TEST(SplitPair, CsvContextCutsBetweenCharacters) {
  const std::wstring text = kYoshi + kYoshi + kYoshi + L"HIT" + kYoshi + kYoshi + kYoshi;
  const TPlace<wchar_t> place("f", 0, text, 6, 3, {}, {});
  TCsvWriter csv;
  csv.File = csv.Line = false;
  csv.Hit = csv.Around = true;
  csv.LineEnd = "\n";
  csv.AroundLength = 3;  // one and a half characters each side
  EXPECT_EQ(csv.Row(place), "𠮷,HIT,𠮷,\n");
  csv.AroundLength = 4;
  EXPECT_EQ(csv.Row(place), "𠮷𠮷,HIT,𠮷𠮷,\n");
  csv.AroundLength = 1;
  EXPECT_EQ(csv.Row(place), ",HIT,,\n");
  // The hundred-unit cut of the place itself, with a wider CSV context.
  const std::wstring wide = kYoshi + std::wstring(99, L'a') + L"HIT" + std::wstring(99, L'b') + kYoshi;
  const TPlace<wchar_t> far("f", 0, wide, 101, 3, {}, {});
  csv.AroundLength = 200;
  EXPECT_EQ(csv.Row(far), std::string(99, 'a') + ",HIT," + std::string(99, 'b') + ",\n");
}

}  // namespace
