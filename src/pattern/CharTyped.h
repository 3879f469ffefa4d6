#pragma once
// The one place where a run's patterns and place list, held without their character
// type, are seen as the type they were made for: narrow (bytes as they are) or wide
// (decoded UTF-16). A pattern and list that do not fit the type raise std::bad_cast.

#include "pattern/ReplacingPattern.h"
#include "pattern/SearchedPattern.h"
#include "place/PlaceList.h"

// Calls f(typedPattern, typedList) with both of the wide type when wide is set, of the
// narrow type otherwise, and returns what f returns.
template <class F>
decltype(auto) WithCharType(bool wide, const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list, F&& f) {
  if (wide) return f(dynamic_cast<const TSearchedPattern<wchar_t>&>(pattern), dynamic_cast<TPlaceList<wchar_t>&>(list));
  return f(dynamic_cast<const TSearchedPattern<char>&>(pattern), dynamic_cast<TPlaceList<char>&>(list));
}

// Calls f(typedPattern) with the replacing pattern of the wide or narrow type.
template <class F>
decltype(auto) WithCharType(bool wide, const TAbstractReplacingPattern& pattern, F&& f) {
  if (wide) return f(dynamic_cast<const TReplacingPattern<wchar_t>&>(pattern));
  return f(dynamic_cast<const TReplacingPattern<char>&>(pattern));
}
