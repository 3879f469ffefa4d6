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
  // Set on a list that gathers one file's places on a worker thread to hand them on,
  // together with the file's text, to a run's list that keeps none: it keeps its
  // places, yet they may borrow their texts from the file as if it kept none.
  bool HandsOn = false;

  // Whether a place of this list may point into the text it was found in instead of
  // holding its own: only while that text outlives the place.
  bool MayBorrow() const { return !KeepPlaces || HandsOn; }
};
