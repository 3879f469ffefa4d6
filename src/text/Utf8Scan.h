#pragma once
// Byte-level facts about UTF-8 text, for searching it without decoding it: whether
// bytes are well-formed (and whether they are plain ASCII), and how many UTF-16
// units a well-formed range decodes to.

#include <cstddef>
#include <string_view>

namespace hovrak {

enum class TUtf8Form {
  Ascii,      // every byte below 0x80
  Utf8,       // well-formed UTF-8 with at least one multi-byte character
  Malformed,  // anything else: stray or missing continuation bytes, overlong forms,
              // surrogates, values past U+10FFFF, a sequence cut at the end
};

// Uses AVX2 where the processor has it.
TUtf8Form ClassifyUtf8(const char* data, std::size_t size);
// The same answer a byte at a time; the reference for the vector form.
TUtf8Form ClassifyUtf8Scalar(const char* data, std::size_t size);

// True when text is well-formed UTF-8 throughout (ASCII included).
inline bool IsUtf8(std::string_view text) { return ClassifyUtf8(text.data(), text.size()) != TUtf8Form::Malformed; }

// UTF-16 units of a well-formed range: one per character, two past U+FFFF.
std::size_t Utf16Length(const char* data, std::size_t size);

}  // namespace hovrak
