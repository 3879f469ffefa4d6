#pragma once
// The hunks of a unified diff between a file's text before and after a replace: the
// changed lines found from where each hit went (so no line matching is needed and a
// file of any size costs one pass), with the lines that read differently outside the
// hits as well (a text that does not survive its code), and the hits marked.

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "core/TextChange.h"

struct TDiffLine {
  char Kind = ' ';         // ' ' context, '-' removed, '+' added
  std::string_view Text;   // without its line end
  bool NoLineEnd = false;  // the last line of its text, which has no line end
  // Byte ranges of Text that are (part of) a replaced hit or its replacement.
  std::vector<std::pair<std::size_t, std::size_t>> Marks;
};

struct TDiffHunk {
  // 0-based first line and count on each side, as the @@ line gives them 1-based.
  std::size_t BeforeStart = 0, BeforeCount = 0, AfterStart = 0, AfterCount = 0;
  std::vector<TDiffLine> Lines;
};

class TUnifiedDiff {
 public:
  // The hunks of change with context unchanged lines around each change; empty
  // when no line would change. The lines view change's texts.
  static std::vector<TDiffHunk> Hunks(const TTextChange& change, std::size_t context);
};
