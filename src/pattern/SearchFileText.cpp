#include "pattern/SearchFileText.h"

#include "pattern/SkipLines.h"

template <class C>
bool SearchFileText(const TSearchedPattern<C>& pattern, std::basic_string_view<C> text, TPlaceList<C>& placeList,
                    const std::string& fileName) {
  typename TSearchedPattern<C>::TPlaceAddingInfo info;
  info.PlaceList = &placeList;
  info.FileName = fileName;
  info.WholeText = text;
  const C lf = C('\n');
  constexpr std::size_t npos = std::basic_string_view<C>::npos;
  if (pattern.ByLine && pattern.HasRequired()) {
    // Only lines holding the string every hit contains go to the pattern; the lines
    // passed over are counted.
    bool found = false;
    std::size_t start = 0;  // a line start; info.LineBase is its line
    while (start <= text.size()) {
      const std::size_t at = pattern.FindRequired(text, start);
      if (at == npos) break;
      const std::size_t lineStart = hovrak::SkipLines(text.data(), start, at, false, info.LineBase, start);
      const std::size_t end = text.find(lf, at);
      const std::size_t stop = end == npos ? text.size() : end;
      if (pattern.FindPlaces(text.substr(lineStart, stop - lineStart), info)) found = true;
      if (end == npos) break;
      start = end + 1;
      ++info.LineBase;
    }
    return found;
  }
  if (!pattern.ByLine && pattern.HasRequired() && pattern.FindRequired(text, 0) == npos) return false;
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

template bool SearchFileText<char>(const TSearchedPattern<char>&, std::string_view, TPlaceList<char>&,
                                   const std::string&);
template bool SearchFileText<wchar_t>(const TSearchedPattern<wchar_t>&, std::wstring_view, TPlaceList<wchar_t>&,
                                      const std::string&);
