#pragma once
// Passing over the lines before a hit without searching them: how many line ends
// lie in a stretch of text, and where the line after the last of them starts.

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "pattern/VectorScan.h"

namespace hovrak {

// Adds the line ends in data[from, to) to line and returns the start of the line that
// holds `to`: just past the last of them, or lineStart when there is none. Line
// ends are LF, and CR as well when crEndsLines (text whose line ends are CR alone).
template <class C, class TLine>
std::size_t SkipLines(const C* data, std::size_t from, std::size_t to, bool crEndsLines, TLine& line,
                      std::size_t lineStart) {
  if (crEndsLines) {
    for (std::size_t i = from; i < to; ++i) {
      if (data[i] != C('\n') && data[i] != C('\r')) continue;
      ++line;
      lineStart = i + 1;
    }
    return lineStart;
  }
  if constexpr (sizeof(C) == 1) {
    line += static_cast<TLine>(CountByte(data + from, to - from, '\n'));
    if (const void* lf = ::memrchr(data + from, '\n', to - from))
      lineStart = static_cast<std::size_t>(static_cast<const C*>(lf) - data) + 1;
  } else {
    line += static_cast<TLine>(std::count(data + from, data + to, C('\n')));
    for (std::size_t i = to; i > from; --i) {
      if (data[i - 1] == C('\n')) {
        lineStart = i;
        break;
      }
    }
  }
  return lineStart;
}

// The first line end in data[from, size), or size when there is none.
inline std::size_t LineEnd(const char* data, std::size_t from, std::size_t size, bool crEndsLines) {
  const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', size - from));
  std::size_t end = lf ? static_cast<std::size_t>(lf - data) : size;
  if (crEndsLines) {
    if (const void* cr = std::memchr(data + from, '\r', end - from))
      end = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
  }
  return end;
}

}  // namespace hovrak
