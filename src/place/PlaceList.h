#pragma once
// The places of one search run in search order (file by file, ascending position
// within a file), in the searched character type. The list owns its places.

#include <algorithm>
#include <deque>
#include <memory>

#include "place/AbstractPlaceList.h"
#include "place/Place.h"

template <class C>
class TPlaceList : public TAbstractPlaceList {
 public:
  using TPlacePtr = std::shared_ptr<TPlace<C>>;

  TAbstractPlace* Item(int index) const override { return Places[static_cast<std::size_t>(index)].get(); }
  TPlace<C>* TypedItem(int index) const { return Places[static_cast<std::size_t>(index)].get(); }
  int Count() const override { return static_cast<int>(Places.size()); }
  void Erase(int index, int count = 1) override {
    const auto first = Places.begin() + index;
    Places.erase(first, first + count);
  }

  void EraseIf(const std::function<bool(const TAbstractPlace&)>& pred) override {
    Places.erase(std::remove_if(Places.begin(), Places.end(), [&pred](const TPlacePtr& p) { return pred(*p); }),
                 Places.end());
  }

  // Appends at the back (unless KeepPlaces is off) and notifies OnAdd.
  void Add(TPlacePtr place) {
    ++Added;
    if (!KeepPlaces) {
      if (OnAdd) OnAdd(place.get());
      return;
    }
    TPlace<C>* raw = place.get();
    Places.push_back(std::move(place));
    if (OnAdd) OnAdd(raw);
  }

  std::deque<TPlacePtr> Places;
};
