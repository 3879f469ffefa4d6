#pragma once
// A place with its texts in the searched character type (bytes or UTF-16 units).

#include <string>
#include <vector>

#include "place/AbstractPlace.h"

template <class C>
class TPlaceBase : public TAbstractPlace {
 public:
  using TString = std::basic_string<C>;

  virtual TString Text() const = 0;                     // the hit
  virtual TString PrevText() const = 0;                 // up to 100 units before the hit
  virtual TString NextText() const = 0;                 // up to 100 units after the hit
  virtual std::vector<TString> SubMatches() const = 0;  // regex submatches, 0 = whole hit; empty for plain hits
};
