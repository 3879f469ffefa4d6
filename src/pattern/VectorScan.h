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

// For the case-ignoring search: the first i >= from with text[i] one of
// a[0, na) and text[i + gap] one of b[0, nb), where i + gap < n; n when there is
// none. na and nb from 1 to 4.
std::size_t FindUnitPair(const char* text, std::size_t n, std::size_t from, const char* a, int na, std::size_t gap,
                         const char* b, int nb);
std::size_t FindUnitPair(const wchar_t* text, std::size_t n, std::size_t from, const wchar_t* a, int na,
                         std::size_t gap, const wchar_t* b, int nb);

// One way the bytes of a character may start and end: First at i, Last at i + Gap.
struct TByteEnds {
  char First;
  char Last;
  std::size_t Gap;
};
// The first i >= from at which any of ends[0, count) holds (i + Gap < n), or n.
// count from 1 to 8.
std::size_t FindAnyEnds(const char* text, std::size_t n, std::size_t from, const TByteEnds* ends, int count);

// How many bytes of data[0, n) equal byte.
std::size_t CountByte(const char* data, std::size_t n, char byte);

}  // namespace hovrak
