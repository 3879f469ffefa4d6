#pragma once
// Builders of regular expressions from literal text: quoting, and the word-search
// expression that matches tokens at word boundaries with any white space between.

#include <string>

// An expression that matches exactly text: control characters become \n \t \a \f \r \v,
// the characters .*?+(){}[]^$|\ get a backslash, everything else is copied.
std::string QuoteRegex(const std::string& text);
std::wstring QuoteRegex(const std::wstring& text);

// Word search: tokens (runs of ASCII letters, digits and '_', or any other single
// non-blank character) joined by \s*; word runs wrapped in \< \>. Blanks only (or
// nothing) give the empty expression, which does not compile.
std::string MakeWordRegex(const std::string& text);
std::wstring MakeWordRegex(const std::wstring& text);
