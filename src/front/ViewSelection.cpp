#include "front/ViewSelection.h"

#include <algorithm>

#include "text/Conversions.h"
#include "text/Utf8Scan.h"

namespace hovrak {

namespace {

template <class C, class Units>
TViewSelection Compute(const std::basic_string<C>& text, std::int32_t line, std::int32_t column, std::int32_t length,
                       Units units) {
  TViewSelection selection;
  selection.Line = std::max<std::int32_t>(line, 0);
  std::size_t start = 0;
  for (std::int32_t i = 0; i < line; ++i) {
    const std::size_t lf = text.find(C('\n'), start);
    if (lf == std::basic_string<C>::npos) {
      start = text.size();
      break;
    }
    start = lf + 1;
  }
  const std::size_t hitStart = std::min(text.size(), start + static_cast<std::size_t>(std::max(column, 0)));
  std::size_t columnStart = start;
  for (std::size_t p = start; p < hitStart; ++p) {
    if (text[p] == C('\n')) {
      ++selection.Line;
      columnStart = p + 1;
    }
  }
  selection.Column = static_cast<std::int32_t>(units(text.data() + columnStart, hitStart - columnStart));
  const std::size_t hitEnd = std::min(text.size(), hitStart + static_cast<std::size_t>(std::max(length, 0)));
  selection.Length = static_cast<std::int32_t>(units(text.data() + hitStart, hitEnd - hitStart));
  return selection;
}

}  // namespace

TViewSelection ViewSelection(const std::wstring& text, std::int32_t line, std::int32_t column, std::int32_t length) {
  // The editor holds the very UTF-16 units of the text.
  return Compute(text, line, column, length, [](const wchar_t*, std::size_t n) { return n; });
}

TViewSelection ViewSelection(const std::string& bytes, std::int32_t line, std::int32_t column, std::int32_t length,
                             TNarrowShown shown) {
  if (shown == TNarrowShown::Utf8) {
    return Compute(bytes, line, column, length, [](const char* data, std::size_t n) { return Utf16Length(data, n); });
  }
  return Compute(bytes, line, column, length,
                 [](const char* data, std::size_t n) { return cp932_bytes_to_unicode(data, n).size(); });
}

TViewSelection ClampViewSelection(TViewSelection selection, std::int32_t lineCount,
                                  const std::function<std::int32_t(std::int32_t)>& lineLength) {
  if (lineCount <= 0) return TViewSelection{0, 0, 0};
  if (selection.Line < lineCount) {
    selection.Column = std::clamp(selection.Column, 0, lineLength(selection.Line));
    return selection;
  }
  selection.Line = lineCount - 1;
  selection.Column = lineLength(selection.Line);
  selection.Length = 0;
  return selection;
}

}  // namespace hovrak
