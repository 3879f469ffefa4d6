#include "pattern/ReplaceInText.h"

#include <algorithm>

namespace {

// Walks the places given by next() (an index, or -1 at the end).
template <class C, class TNext>
bool Splice(const TReplacingPattern<C>& pattern, std::basic_string<C>& text,
            const TAbstractPlaceList& list, const std::string& fileName, TNext next) {
  const std::size_t size = text.size();
  std::basic_string<C> result;
  bool changed = false;
  std::size_t copied = 0;
  std::size_t cursorOffset = 0;
  long long cursorLine = 0;
  for (int i = next(); i >= 0; i = next()) {
    const TAbstractPlace* place = list.Item(i);
    if (!place->Checked || place->FileName != fileName) continue;
    while (cursorLine < place->Line) {
      const std::size_t lf = text.find(C('\n'), cursorOffset);
      if (lf == std::basic_string<C>::npos) {
        cursorOffset = size;
        break;
      }
      cursorOffset = lf + 1;
      ++cursorLine;
    }
    const std::size_t column = place->Column > 0 ? static_cast<std::size_t>(place->Column) : 0;
    const std::size_t start = std::min(cursorOffset + column, size);
    if (start < copied) continue;  // overlaps the previous replacement
    if (!changed) result.reserve(size);
    result.append(text, copied, start - copied);
    result += pattern.GetReplacement(list, i);
    const std::size_t length = place->Length > 0 ? static_cast<std::size_t>(place->Length) : 0;
    copied = std::min(start + length, size);
    changed = true;
  }
  if (!changed) return false;
  result.append(text, copied, std::basic_string<C>::npos);
  text.swap(result);
  return true;
}

}  // namespace

template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text,
                   const TAbstractPlaceList& list, const std::string& fileName) {
  int i = 0;
  const int count = list.Count();
  return Splice(pattern, text, list, fileName, [&] { return i < count ? i++ : -1; });
}

template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text,
                   const TAbstractPlaceList& list, const std::string& fileName,
                   const std::vector<int>& indices) {
  std::size_t k = 0;
  return Splice(pattern, text, list, fileName, [&] { return k < indices.size() ? indices[k++] : -1; });
}

template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&,
                                  const TAbstractPlaceList&, const std::string&);
template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&,
                                     const TAbstractPlaceList&, const std::string&);
template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&,
                                  const TAbstractPlaceList&, const std::string&, const std::vector<int>&);
template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&,
                                     const TAbstractPlaceList&, const std::string&, const std::vector<int>&);
