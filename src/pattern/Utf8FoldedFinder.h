#pragma once
// Case-ignoring search straight over the bytes of well-formed UTF-8, folding each
// character as the regular-expression engine folds its UTF-16 units (TCaseFold):
// a vector scan for the UTF-8 forms of the case variants of the rarest character,
// then a folded comparison of the characters around each candidate. Variants may
// differ in length (K and the Kelvin sign), so hits are returned with their length.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/CaseFold.h"
#include "pattern/VectorScan.h"

class TUtf8FoldedFinder {
 public:
  // needle: the wide search string, without lone surrogates (Usable() tells).
  TUtf8FoldedFinder(const std::wstring& needle, std::shared_ptr<const TCaseFold> fold);

  bool Usable() const { return usable_; }

  // The first hit starting at or after from: its start, and its end in end; npos when
  // there is none.
  std::size_t Find(std::string_view bytes, std::size_t from, std::size_t& end) const;

  static constexpr std::size_t npos = std::string_view::npos;

 private:
  // One character of the search string: a UTF-16 unit folded, or a character outside
  // the BMP, which only matches itself.
  bool Matches(std::uint32_t textCode, std::size_t k) const;

  std::shared_ptr<const TCaseFold> fold_;
  std::vector<std::uint32_t> codes_;   // the search string's characters, BMP ones folded
  std::size_t anchor_ = 0;             // the character scanned for
  std::vector<std::string> variants_;  // UTF-8 forms of the anchor's case variants
  std::vector<hovrak::TByteEnds> ends_;
  bool usable_ = false;
};
