#pragma once
// Plain search with case ignored, without the regex engine: the hits, texts and
// submatches are those of the engine searching the quoted string with case ignored.
// Hits do not overlap: the search goes on behind each hit.

#include <type_traits>

#include "pattern/FoldedFinder.h"
#include "pattern/SearchedPattern.h"
#include "pattern/Utf8PlainSearch.h"

template <class C>
class TFoldedSearchedPattern : public TSearchedPattern<C> {
 public:
  using typename TSearchedPattern<C>::TString;
  using typename TSearchedPattern<C>::TView;
  using typename TSearchedPattern<C>::TPlaceAddingInfo;

  TFoldedSearchedPattern(TString text, bool byLine, bool showLine)
      : TSearchedPattern<C>(byLine, showLine),
        needle_(std::move(text)),
        finder_(needle_, TCaseFold::OfGlobalLocale()) {}

  bool IsValid() const override { return !needle_.empty(); }
  const TString& Needle() const { return needle_; }
  // A wide pattern's hits are found in a UTF-8 file's bytes alike.
  std::unique_ptr<TUtf8PlainSearch> MakeByteSearch() const override {
    if constexpr (std::is_same_v<C, wchar_t>) return TUtf8PlainSearch::Make(needle_, true);
    else return nullptr;
  }

  bool FindPlaces(TView text, const TPlaceAddingInfo& info) const override {
    const std::size_t n = needle_.size();
    bool found = false;
    for (std::size_t p = finder_.Find(text, 0); p != TFoldedFinder<C>::npos; p = finder_.Find(text, p + n)) {
      // The engine gives the whole hit as submatch 0.
      AddPlace<C>(info, text, p, n, {TString(text.substr(p, n))});
      found = true;
    }
    return found;
  }

 private:
  TString needle_;
  TFoldedFinder<C> finder_;
};
