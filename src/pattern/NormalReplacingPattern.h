#pragma once
// A fixed replacement string, the same for every place (normal and word modes).

#include "pattern/ReplacingPattern.h"

template <class C>
class TNormalReplacingPattern : public TReplacingPattern<C> {
 public:
  explicit TNormalReplacingPattern(std::basic_string<C> text) : text_(std::move(text)) {}

  std::basic_string<C> GetReplacement(const TAbstractPlaceList&, int) const override { return text_; }

 private:
  std::basic_string<C> text_;
};
