#pragma once
// Backslash escapes in entered search and replacement strings (\n \t \a \f \r \v),
// and the conversions between a one-line string with escapes and multi-line text.

#include <string>

// Expands the six escape letters to their control characters; a backslash before any
// other character stands for that character; a trailing lone backslash stays. In wide
// text only units below 256 can be escape letters.
std::string ExpandEscapes(const std::string& text);
std::wstring ExpandEscapes(const std::wstring& text);

// Multi-line text to one-line form: CR LF becomes \n, then TAB becomes \t. Lone CR and
// LF and existing backslashes are left alone.
std::string EscapeLineBreaks(const std::string& text);

// One-line form to multi-line text: \n becomes CR LF and \t becomes TAB when the
// backslash is preceded by an even number of further backslashes; those preceding
// backslashes are kept as they are.
std::string UnescapeLineBreaks(const std::string& text);
