#pragma once
// Where the view window selects a place's hit: the editor's line, column and
// selection length, in UTF-16 units of the editor's text, from the place's line,
// column and length in the loaded text; and their clamping to the editor's lines.

#include <cstdint>
#include <functional>
#include <string>

namespace hovrak {

struct TViewSelection {
  std::int32_t Line = 0;
  std::int32_t Column = 0;
  std::int32_t Length = 0;
};

// How the bytes of a narrow (ASCII-mode) text appear in the editor: decoded as
// UTF-8, or (for display only) as code page 932.
enum class TNarrowShown { Utf8, Cp932 };

// text: the loaded text, lines ended by LF; line, column and length are the
// place's, in the text's own units. A column that runs over line feeds (a hit of a
// whole-text search without line numbers) moves the line down by their number and
// starts after the last of them; each line feed of the hit counts one unit. A line
// beyond the text is kept for the clamp to settle.
TViewSelection ViewSelection(const std::wstring& text, std::int32_t line, std::int32_t column, std::int32_t length);
TViewSelection ViewSelection(const std::string& bytes, std::int32_t line, std::int32_t column, std::int32_t length,
                             TNarrowShown shown);

// With no lines: line and column 0. A line beyond the last: the end of the last
// line, nothing selected. Otherwise the column at most the line's length.
TViewSelection ClampViewSelection(TViewSelection selection, std::int32_t lineCount,
                                  const std::function<std::int32_t(std::int32_t)>& lineLength);

}  // namespace hovrak
