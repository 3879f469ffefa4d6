#pragma once
// Vector scans for the plain search: finding a string of bytes or of wide units,
// counting one byte value. SSE2, which every x86-64 processor has; a plain loop
// elsewhere.

#include <cstddef>

namespace hovrak {

// Offset of the first occurrence of needle[0, m) in text[0, n), or n when there is
// none. m must be at least 2.
std::size_t FindBytes(const char* text, std::size_t n, const char* needle, std::size_t m);

// The same over wide units.
std::size_t FindUnits(const wchar_t* text, std::size_t n, const wchar_t* needle, std::size_t m);

// How many bytes of data[0, n) equal byte.
std::size_t CountByte(const char* data, std::size_t n, char byte);

}  // namespace hovrak
