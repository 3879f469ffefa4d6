#pragma once
// A place with its texts in the searched character type (bytes or UTF-16 units).

#include <string>
#include <vector>

#include "core/AbstractPlace.h"

template <class C>
class TPlaceBase : public TAbstractPlace {
 public:
  using TString = std::basic_string<C>;

  TString Text;                      // the hit
  TString PrevText;                  // up to 100 units before the hit
  TString NextText;                  // up to 100 units after the hit
  std::vector<TString> SubMatches;   // regex submatches, 0 = whole hit; empty for plain hits
};
