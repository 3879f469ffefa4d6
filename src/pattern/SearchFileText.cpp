#include "pattern/SearchFileText.h"

#include <algorithm>

template <class C>
bool SearchFileText(const TSearchedPattern<C>& pattern, std::basic_string_view<C> text,
                    TPlaceList<C>& placeList, const std::string& fileName) {
  typename TSearchedPattern<C>::TPlaceAddingInfo info;
  info.PlaceList = &placeList;
  info.FileName = fileName;
  const C lf = C('\n');
  if (pattern.ByLine) {
    // Every line is searched on its own, also the empty one after a final line feed.
    bool found = false;
    std::size_t start = 0;
    while (true) {
      const std::size_t end = text.find(lf, start);
      const std::size_t stop = end == std::basic_string_view<C>::npos ? text.size() : end;
      if (pattern.FindPlaces(text.substr(start, stop - start), info)) found = true;
      if (end == std::basic_string_view<C>::npos) break;
      start = end + 1;
      ++info.LineBase;
    }
    return found;
  }
  if (pattern.ShowLine) {
    info.LineEnds.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), lf)));
    for (std::size_t p = text.find(lf); p != std::basic_string_view<C>::npos; p = text.find(lf, p + 1))
      info.LineEnds.push_back(static_cast<int>(p));
  }
  return pattern.FindPlaces(text, info);
}

template bool SearchFileText<char>(const TSearchedPattern<char>&, std::string_view,
                                   TPlaceList<char>&, const std::string&);
template bool SearchFileText<wchar_t>(const TSearchedPattern<wchar_t>&, std::wstring_view,
                                      TPlaceList<wchar_t>&, const std::string&);
