#pragma once
// A replacement template for regular-expression mode: \0-\9 insert submatches, the
// escape letters give control characters, \L \U \l \u \E change the case of ASCII
// letters.

#include <vector>

#include "pattern/ReplacingPattern.h"

template <class C>
class TRegexReplacingPattern : public TReplacingPattern<C> {
 public:
  explicit TRegexReplacingPattern(std::basic_string<C> templ) : template_(std::move(templ)) {}

  std::basic_string<C> GetReplacement(const TAbstractPlaceList& list, int index) const override;

  // The expansion itself, against the given submatches.
  std::basic_string<C> Expand(const std::vector<std::basic_string<C>>& subMatches) const;

 private:
  std::basic_string<C> template_;
};

extern template class TRegexReplacingPattern<char>;
extern template class TRegexReplacingPattern<wchar_t>;
