#pragma once
// Text with its control characters written as escapes, so that any byte string (a
// file name may hold a line feed or a tab) fits on one line of a line-oriented or
// tab-separated file and reads back byte for byte.

#include <string>
#include <string_view>

namespace hovrak {

// A backslash becomes "\\"; tab, line feed and carriage return "\t", "\n", "\r";
// every other byte below 0x20 and DEL "\xHH" (two upper-case hex digits). All other
// bytes, UTF-8 included, stay as they are.
std::string EscapeControls(std::string_view text);
// The reverse. False, out untouched, for text that is not of that form (a backslash
// before anything else, a short "\x").
bool UnescapeControls(std::string_view text, std::string& out);
// True when EscapeControls would change more than backslashes: the text holds a
// byte below 0x20 or DEL.
bool HasControls(std::string_view text);

}  // namespace hovrak
