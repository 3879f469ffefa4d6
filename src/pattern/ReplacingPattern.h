#pragma once
// A replacement string for one character type: says what text replaces place i.

#include <string>

#include "pattern/AbstractReplacingPattern.h"
#include "place/AbstractPlaceList.h"

template <class C>
class TReplacingPattern : public TAbstractReplacingPattern {
 public:
  // index is a valid index into list; its place is a TPlace<C>.
  virtual std::basic_string<C> GetReplacement(const TAbstractPlaceList& list, int index) const = 0;
};
