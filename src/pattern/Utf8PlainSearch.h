#pragma once
// Plain search straight over the bytes of a well-formed UTF-8 file: the UTF-8 form of
// the search string (or, with case ignored, of any of its case variants) is found in
// the raw bytes and only the context of each hit is decoded. The places are the same as those of decoding the
// file to UTF-16, normalising its line ends and searching that text.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "pattern/SearchedPattern.h"
#include "pattern/SubstringFinder.h"
#include "pattern/Utf8FoldedFinder.h"
#include "place/PlaceList.h"
#include "text/NewLineKind.h"

class TUtf8PlainSearch {
 public:
  // needle: the wide search string; ignoreCase folds case as the regex engine does.
  // prefilterOnly: the needle is a string every hit of some other pattern contains;
  // the bytes only tell whether a file can hold a hit at all (Occurs).
  explicit TUtf8PlainSearch(const std::wstring& needle, bool ignoreCase = false, bool prefilterOnly = false);
  // The same search, or null when it is not Usable.
  static std::unique_ptr<TUtf8PlainSearch> Make(const std::wstring& needle, bool ignoreCase = false,
                                                bool prefilterOnly = false);

  bool PrefilterOnly() const { return prefilterOnly_; }
  // Whether bytes that passed CanSearch hold the needle.
  bool Occurs(std::string_view bytes) const {
    std::size_t end = 0;
    return Next(bytes, 0, end) != std::string_view::npos;
  }

  // False when the search string cannot be searched as bytes: empty, holding a
  // lone surrogate, or a CR or LF (line ends differ between bytes and text).
  bool Usable() const { return usable_; }

  // Whether bytes (a file's text, BOM removed) can be searched directly, and with
  // which line-end convention: bytes must be well-formed UTF-8 (plain ASCII when
  // asciiOnly is set, for codes that read only ASCII as UTF-8 does) and, where the first
  // line end is CR LF, hold no CR without an LF after it (loading drops every CR,
  // which would join the text around it). wellFormed: the bytes are already known
  // to be well-formed UTF-8 with a character past ASCII.
  static bool CanSearch(std::string_view bytes, bool asciiOnly, TNewLineKind& kind, bool wellFormed = false);

  // Appends a place for every hit in bytes, which passed CanSearch with kind. byLine
  // and showLine as in the searched pattern. True when any hit was found.
  // For a pattern searched line by line whose every hit holds this search's needle
  // (a prefilter): decodes only the lines of bytes (which passed CanSearch with kind)
  // that hold the needle and lets pattern search each, numbered as in the whole file.
  bool SearchLines(std::string_view bytes, TNewLineKind kind, const TSearchedPattern<wchar_t>& pattern,
                   TPlaceList<wchar_t>& list, const std::string& fileName) const;

  bool Search(std::string_view bytes, TNewLineKind kind, bool byLine, bool showLine, TPlaceList<wchar_t>& list,
              const std::string& fileName) const;

 private:
  // The next hit at or after from: its start, and its end in end; npos when none.
  std::size_t Next(std::string_view bytes, std::size_t from, std::size_t& end) const;

  std::wstring needle_;
  TSubstringFinder<char> finder_;
  std::unique_ptr<TUtf8FoldedFinder> folded_;  // with case ignored
  bool usable_ = false;
  bool prefilterOnly_ = false;
};
