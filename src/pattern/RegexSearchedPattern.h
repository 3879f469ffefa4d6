#pragma once
// Search with a Boost.Regex expression (used for regular-expression mode, word mode,
// and plain search with case ignored). Every match, empty ones included, is a place
// with its submatches.

#include <memory>

#include <boost/regex.hpp>

#include "pattern/FoldedFinder.h"
#include "pattern/SearchedPattern.h"
#include "pattern/SubstringFinder.h"

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

  // The run of plain characters every match contains (empty: none known), and whether
  // it is compared with case ignored.
  const TString& Required() const { return required_; }
  bool IgnoreCase() const { return !caseSensitive_; }
  bool HasRequired() const override { return !required_.empty(); }
  std::size_t FindRequired(TView text, std::size_t from) const override;
  // For a wide pattern with a required run: the prefilter over a UTF-8 file's bytes.
  std::unique_ptr<TUtf8PlainSearch> MakeByteSearch() const override;

  // Compile flags: Perl syntax with case folding when case is ignored.
  static boost::regex_constants::syntax_option_type Flags(bool caseSensitive);

 private:
  boost::basic_regex<C> regex_;
  bool valid_ = false;
  bool caseSensitive_ = true;
  TString required_;
  std::unique_ptr<TSubstringFinder<C>> exact_;
  std::unique_ptr<TFoldedFinder<C>> folded_;
  // The run every match starts with: the engine is tried only where it stands.
  std::unique_ptr<TSubstringFinder<C>> leadExact_;
  std::unique_ptr<TFoldedFinder<C>> leadFolded_;
};

extern template class TRegexSearchedPattern<char>;
extern template class TRegexSearchedPattern<wchar_t>;
