#pragma once
// Plain, case-sensitive search straight over the bytes of a well-formed UTF-8 file:
// the UTF-8 form of the search string is found in the raw bytes and only the
// context of each hit is decoded. The places are the same as those of decoding the
// file to UTF-16, normalising its line ends and searching that text.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/PlaceList.h"
#include "pattern/SubstringFinder.h"
#include "text/NewLineKind.h"

class TUtf8PlainSearch {
 public:
  // needle: the wide search string.
  explicit TUtf8PlainSearch(const std::wstring& needle);

  // False when the search string cannot be searched as bytes: empty, holding a
  // lone surrogate, or a CR or LF (line ends differ between bytes and text).
  bool Usable() const { return usable_; }

  // Whether bytes (a file's text, BOM removed) can be searched directly, and with
  // which line-end convention: bytes must be well-formed UTF-8 (plain ASCII when
  // asciiOnly is set, for codes that read only ASCII as UTF-8 does) and, where the first
  // line end is CR LF, hold no CR without an LF after it (loading drops every CR,
  // which would join the text around it).
  static bool CanSearch(std::string_view bytes, bool asciiOnly, TNewLineKind& kind);

  // Appends a place for every hit in bytes, which passed CanSearch with kind. byLine
  // and showLine as in the searched pattern. True when any hit was found.
  bool Search(std::string_view bytes, TNewLineKind kind, bool byLine, bool showLine,
              TPlaceList<wchar_t>& list, const std::string& fileName) const;

 private:
  std::wstring needle_;
  TSubstringFinder<char> finder_;
  bool usable_ = false;
};
