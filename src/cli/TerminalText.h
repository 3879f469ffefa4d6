#pragma once
// Text bound for a terminal with its control characters made visible, so that a
// file name or a line of a file can never send escape sequences to the terminal.

#include <cstdio>
#include <string>
#include <string_view>

// The escapes (a backslash or caret in the text itself is not doubled):
//   C0 controls and DEL         caret notation: ESC "^[", CR "^M", NUL "^@", DEL "^?"
//   C1 controls U+0080-U+009F   "\u0080" to "\u009F"
//   bytes that are not UTF-8    "\xNN" per byte (lone surrogates and overlong forms too)
// Well-formed UTF-8 of every other character, Japanese included, passes unchanged;
// so does TAB when keepTab is set (texts of files), not in paths.
std::string EscapeForTerminal(std::string_view text, bool keepTab = false);

// True when stream is open on a terminal.
bool IsTerminal(std::FILE* stream);

// text escaped when stream is a terminal, unchanged otherwise.
std::string TextForStream(std::FILE* stream, std::string_view text, bool keepTab = false);
