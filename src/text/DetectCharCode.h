#pragma once
// Automatic detection of a file's character code from its raw bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "text/CharCode.h"

// Names one of SJIS, UTF16, ASCII, EUC, JIS, UTF8, UTF8N or Unknown for the bytes.
// Never fails; the caller reads ASCII and Unknown as Shift-JIS. Bytes that are
// well-formed UTF-8 throughout and hold at least one Japanese character (below) are
// UTF8N whatever the scoring says: Shift-JIS and EUC-JP text is rarely well-formed
// UTF-8, and when it is, it decodes to other scripts.
// wellFormed, when given, is set when the answer came from checking that every byte
// is well-formed UTF-8 (so a caller need not check again).
TCharCode DetectCharCode(const char* data, std::size_t size, bool* wellFormed = nullptr);
TCharCode DetectCharCode(const std::string& bytes, bool* wellFormed = nullptr);

// Whether a code point is one that Japanese text is made of: CJK symbols and
// punctuation U+3000-303F, hiragana and katakana U+3040-30FF, katakana phonetic
// extensions U+31F0-31FF, the CJK unified ideographs U+4E00-9FFF and the half- and
// full-width forms U+FF00-FFEF.
bool IsJapaneseCharacter(std::uint32_t codePoint);
