#include "pattern/SearchFileText.h"

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
    info.LineEndsText = text;
    info.LineEndsPending = true;
  }
  return pattern.FindPlaces(text, info);
}

template bool SearchFileText<char>(const TSearchedPattern<char>&, std::string_view,
                                   TPlaceList<char>&, const std::string&);
template bool SearchFileText<wchar_t>(const TSearchedPattern<wchar_t>&, std::wstring_view,
                                      TPlaceList<wchar_t>&, const std::string&);
