#pragma once
// A hit built from the searched text: computes line and column from the line-feed
// offsets and copies the hit and up to 100 units of context on each side.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/PlaceBase.h"

template <class C>
class TPlace : public TPlaceBase<C> {
 public:
  using TString = std::basic_string<C>;

  // text: the searched text (a whole file or one line); lineEnds: offsets of every
  // line feed in text, ascending (empty when no line numbers are wanted).
  TPlace(const std::string& fileName, unsigned lineBase, std::basic_string_view<C> text,
         std::size_t position, std::size_t length, std::vector<TString> subMatches,
         const std::vector<int>& lineEnds);
  // A place whose line, column and texts are already known; a plain hit, so no
  // submatches.
  TPlace(const std::string& fileName, std::int32_t line, std::int32_t column, TString text,
         TString prevText, TString nextText);

  std::string GetText() const override;
  std::string GetPrevText() const override;
  std::string GetNextText() const override;

  static constexpr std::size_t ContextLength = 100;
};

extern template class TPlace<char>;
extern template class TPlace<wchar_t>;
