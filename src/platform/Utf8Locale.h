#pragma once
// Process start-up: make the C and C++ locales UTF-8 so that wide case folding
// (towlower, Boost.Regex's wide traits) covers non-ASCII letters such as full-width Ａ.

namespace hovrak {

// Calls setlocale(LC_ALL, ""), falls back to C.UTF-8 when LC_CTYPE is not UTF-8,
// and installs the result as the global C++ locale. Returns the LC_CTYPE name in use.
const char* InstallUtf8Locale();

}  // namespace hovrak
