#pragma once
// The place list of a run as every user sees it: indexed access, count, and the
// notification of each appended place.

#include <functional>

#include <boost/function.hpp>

#include "place/AbstractPlace.h"

class TAbstractPlaceList {
 public:
  virtual ~TAbstractPlaceList() = default;

  // The i-th place, owned by the list.
  virtual TAbstractPlace* Item(int index) const = 0;
  virtual int Count() const = 0;
  // Removes count places starting at index.
  virtual void Erase(int index, int count = 1) = 0;
  // Removes every place for which pred is true, keeping the order of the others.
  virtual void EraseIf(const std::function<bool(const TAbstractPlace&)>& pred) = 0;

  // Called with each place right after it is appended; may be empty.
  boost::function<void(TAbstractPlace*)> OnAdd;
  // False: each place goes to OnAdd and is dropped after it, for a caller that only
  // shows the places as they come (a search that no replace follows); the list
  // stays empty and its memory is reused from place to place.
  bool KeepPlaces = true;
  // Places added since the list was made, kept or not.
  int Added = 0;
};
