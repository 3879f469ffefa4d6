#pragma once
// The place list of a run as every user sees it: indexed access, count, and the
// notification of each appended place.

#include <functional>

#include <boost/function.hpp>

#include "core/AbstractPlace.h"

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
};
