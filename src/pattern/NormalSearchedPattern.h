#pragma once
// Plain, case-sensitive search for an exact string; never uses the regex engine.
// Hits do not overlap: the search goes on behind each hit.

#include <type_traits>

#include "pattern/SearchedPattern.h"
#include "pattern/SubstringFinder.h"
#include "pattern/Utf8PlainSearch.h"

template <class C>
class TNormalSearchedPattern : public TSearchedPattern<C> {
 public:
  using typename TSearchedPattern<C>::TString;
  using typename TSearchedPattern<C>::TView;
  using typename TSearchedPattern<C>::TPlaceAddingInfo;

  TNormalSearchedPattern(TString text, bool byLine, bool showLine)
      : TSearchedPattern<C>(byLine, showLine), finder_(std::move(text)) {}

  bool IsValid() const override { return !finder_.Needle().empty(); }
  const TString& Needle() const { return finder_.Needle(); }
  // A wide pattern's hits are found in a UTF-8 file's bytes alike.
  std::unique_ptr<TUtf8PlainSearch> MakeByteSearch() const override {
    if constexpr (std::is_same_v<C, wchar_t>) return TUtf8PlainSearch::Make(Needle());
    else return nullptr;
  }

  bool FindPlaces(TView text, const TPlaceAddingInfo& info) const override {
    const std::size_t n = finder_.Needle().size();
    bool found = false;
    for (std::size_t p = finder_.Find(text, 0); p != TSubstringFinder<C>::npos; p = finder_.Find(text, p + n)) {
      AddPlace<C>(info, text, p, n, {});
      found = true;
    }
    return found;
  }

 private:
  TSubstringFinder<C> finder_;
};
