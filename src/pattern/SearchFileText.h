#pragma once
// Runs a searched pattern over one file's decoded text, line by line or as a whole,
// appending the hits to the run's place list.

#include <string>
#include <string_view>

#include "pattern/SearchedPattern.h"
#include "place/PlaceList.h"

// True when any hit was found.
template <class C>
bool SearchFileText(const TSearchedPattern<C>& pattern, std::basic_string_view<C> text, TPlaceList<C>& placeList,
                    const std::string& fileName);

extern template bool SearchFileText<char>(const TSearchedPattern<char>&, std::string_view, TPlaceList<char>&,
                                          const std::string&);
extern template bool SearchFileText<wchar_t>(const TSearchedPattern<wchar_t>&, std::wstring_view, TPlaceList<wchar_t>&,
                                             const std::string&);
