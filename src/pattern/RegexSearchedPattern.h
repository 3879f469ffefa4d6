#pragma once
// Search with a Boost.Regex expression (used for regular-expression mode, word mode,
// and plain search with case ignored). Every match, empty ones included, is a place
// with its submatches.

#include <boost/regex.hpp>

#include "pattern/SearchedPattern.h"

template <class C>
class TRegexSearchedPattern : public TSearchedPattern<C> {
 public:
  using typename TSearchedPattern<C>::TString;
  using typename TSearchedPattern<C>::TView;
  using typename TSearchedPattern<C>::TPlaceAddingInfo;

  // Compiles expression; a syntax error leaves the pattern invalid.
  TRegexSearchedPattern(const TString& expression, bool caseSensitive, bool byLine, bool showLine);

  bool IsValid() const override { return valid_; }
  bool FindPlaces(TView text, const TPlaceAddingInfo& info) const override;

  // Compile flags: Perl syntax with case folding when case is ignored.
  static boost::regex_constants::syntax_option_type Flags(bool caseSensitive);

 private:
  boost::basic_regex<C> regex_;
  bool valid_ = false;
};

extern template class TRegexSearchedPattern<char>;
extern template class TRegexSearchedPattern<wchar_t>;
