#pragma once
// Decoding parts of well-formed UTF-8 bytes to UTF-16 units with the line ends as
// loading leaves them, and the context of a hit found in such bytes: the same units
// that decoding the whole text and cutting it would give.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/NewLineKind.h"

namespace hovrak {

// Decodes well-formed UTF-8 into out (room for size units) with the line ends as
// loading leaves them: CR LF drops every CR, CR turns each CR into LF. Returns the
// number of units written.
std::size_t DecodeUtf8Units(const char* data, std::size_t size, TNewLineKind kind, wchar_t* out);
std::wstring DecodeUtf8Units(std::string_view bytes, TNewLineKind kind);

// Up to units units before byte at (a character start), not reaching before byte low.
std::wstring Utf8ContextBefore(std::string_view bytes, std::size_t low, std::size_t at, TNewLineKind kind,
                               std::size_t units);
// Up to units units from byte from (a character start), not reaching past byte high.
std::wstring Utf8ContextAfter(std::string_view bytes, std::size_t from, std::size_t high, TNewLineKind kind,
                              std::size_t units);

// The same contexts cut to the hit's own line and left in UTF-8, without decoding:
// the bytes of Utf8ContextBefore's units after their last line break, or of
// Utf8ContextAfter's units before their first, less a character whose surrogate
// pair the unit cut would split. No byte inside is a line end or a dropped CR.
std::string_view Utf8LineBefore(std::string_view bytes, std::size_t low, std::size_t at, TNewLineKind kind,
                                std::size_t units);
std::string_view Utf8LineAfter(std::string_view bytes, std::size_t from, std::size_t high, TNewLineKind kind,
                               std::size_t units);

// The UTF-8 form of what DecodeUtf8Units gives: bytes with the line ends as loading
// leaves them.
std::string Utf8WithLineEnds(std::string_view bytes, TNewLineKind kind);

}  // namespace hovrak
