#pragma once
// What wide places show as narrow text, recorded while they live (a search that
// keeps no places drops each one after handing it on), with the line texts checked
// against cutting the decoded context the long way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "place/PlaceList.h"
#include "place/Utf16Cut.h"
#include "platform/AnsiCodePage.h"

struct TShown {
  std::int32_t Line, Column, Length;
  std::string Text, Prev, Next, PrevLine, NextLine;
  bool operator==(const TShown& o) const {
    return Line == o.Line && Column == o.Column && Length == o.Length && Text == o.Text && Prev == o.Prev &&
           Next == o.Next && PrevLine == o.PrevLine && NextLine == o.NextLine;
  }
};

// The context on the hit's line the long way: decoded context cut at its line feed,
// a pair split by the cut dropped, converted.
inline std::string LineBefore(const TPlace<wchar_t>& place) {
  std::wstring text = place.PrevText();
  const std::size_t lastBreak = text.rfind(L'\n');
  if (lastBreak != std::wstring::npos) text.erase(0, lastBreak + 1);
  DropCutHalfAtFront(text);
  return hovrak::WideToAnsi(text);
}

inline std::string LineAfter(const TPlace<wchar_t>& place) {
  std::wstring text = place.NextText();
  text.erase(std::min(text.find(L'\n'), text.size()));
  DropCutHalfAtBack(text);
  return hovrak::WideToAnsi(text);
}

inline TShown Show(const TPlace<wchar_t>& place) {
  EXPECT_EQ(place.GetPrevLineText(), LineBefore(place));
  EXPECT_EQ(place.GetNextLineText(), LineAfter(place));
  return {place.Line,
          place.Column,
          place.Length,
          place.GetText(),
          place.GetPrevText(),
          place.GetNextText(),
          place.GetPrevLineText(),
          place.GetNextLineText()};
}

inline std::vector<TShown> ShownPlaces(const TPlaceList<wchar_t>& list) {
  std::vector<TShown> shown;
  for (int i = 0; i < list.Count(); ++i) shown.push_back(Show(*list.TypedItem(i)));
  return shown;
}

// The shown texts of the places a search hands on without keeping them.
template <class TSearch>
std::vector<TShown> HandedOn(TSearch&& search) {
  std::vector<TShown> shown;
  TPlaceList<wchar_t> dropping;
  dropping.KeepPlaces = false;
  dropping.OnAdd = [&shown](TAbstractPlace* place) {
    shown.push_back(Show(dynamic_cast<const TPlace<wchar_t>&>(*place)));
  };
  search(dropping);
  return shown;
}
