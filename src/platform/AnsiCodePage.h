#pragma once
// Conversions between the system code page (UTF-8 on Linux) and wide text held as
// UTF-16 code units in wchar_t, as used for entered strings, messages and narrow
// views of wide places.

#include <cstddef>
#include <string>

namespace hovrak {

// UTF-8 to UTF-16 units. Stops at the first NUL byte. An invalid or truncated
// sequence gives one U+FFFD per byte that cannot start or continue a character.
std::wstring AnsiToWide(const char* text, std::size_t length);
std::wstring AnsiToWide(const std::string& text);

// UTF-16 units to UTF-8. Stops at the first NUL unit. A lone surrogate gives "?".
std::string WideToAnsi(const wchar_t* text, std::size_t length);
std::string WideToAnsi(const std::wstring& text);

}  // namespace hovrak
