#pragma once
// A replace preview of one file as a unified diff: a "# CODE, LINE ENDS" line, the
// "--- a/PATH" and "+++ b/PATH" lines and the hunks, the texts in UTF-8 (the bytes as
// they are when a run takes them so), each replaced hit marked in colour.

#include <cstddef>
#include <string>

#include "cli/Colors.h"
#include "core/TextChange.h"

class TDiffFormat {
 public:
  // Appends the diff of change with context lines around each change; false, with
  // nothing appended, when no line would change. forTerminal: paths and texts go
  // through EscapeForTerminal (texts keep their tabs).
  static bool Append(const TTextChange& change, std::size_t context, bool forTerminal, const TColors& colors,
                     std::string& out);
};
