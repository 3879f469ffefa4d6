#pragma once
// Case-ignoring substring search over bytes or UTF-16 units with the regular-expression
// engine's folding (TCaseFold): a vector scan for the case variants of the two
// rarest units of the search string, then a folded comparison of each candidate.
// Finds exactly the hits of the engine searching the quoted string with case ignored.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "pattern/CaseFold.h"
#include "pattern/VectorScan.h"

// A rough guess at how common a character is in Japanese and English text: the
// search scans for the rarest ones. Lower is rarer.
inline int FoldAnchorCommonness(std::uint32_t code) {
  static constexpr char kLetters[] = "etaoinsrhldcumfpgwybvkxjqz";  // most common first
  if (code == ' ' || code == '\t') return 100;
  if (code < 0x80) {
    const std::uint32_t lower = code >= 'A' && code <= 'Z' ? code + 32 : code;
    for (int k = 0; kLetters[k] != 0; ++k)
      if (static_cast<std::uint32_t>(kLetters[k]) == lower) return 70 - 2 * k;
    if (code >= '0' && code <= '9') return 40;
    return 45;
  }
  if (code < 0x100) return 35;                      // bytes of other codes, Latin-1
  if (code >= 0x3000 && code <= 0x303F) return 60;  // Japanese punctuation
  if (code >= 0x3040 && code <= 0x309F) return 55;  // hiragana
  if (code >= 0x30A0 && code <= 0x30FF) return 30;  // katakana
  if (code >= 0x4E00 && code <= 0x9FFF) return 20;  // kanji
  if (code >= 0xD800 && code <= 0xDFFF) return 10;  // halves of rare characters
  return 25;
}

template <class C>
class TFoldedFinder {
 public:
  TFoldedFinder(const std::basic_string<C>& needle, std::shared_ptr<const TCaseFold> fold) : fold_(std::move(fold)) {
    folded_.reserve(needle.size());
    for (const C c : needle) folded_.push_back(fold_->Fold(c));
    if (folded_.empty()) return;
    // The two rarest positions, variants counting against a position.
    std::vector<std::pair<int, std::size_t>> costs;
    for (std::size_t i = 0; i < needle.size(); ++i) {
      const auto code = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<C>>(needle[i]));
      costs.emplace_back(FoldAnchorCommonness(code) * static_cast<int>(fold_->Variants(needle[i]).size()), i);
    }
    std::stable_sort(costs.begin(), costs.end());
    std::size_t a = costs[0].second;
    std::size_t b = costs.size() > 1 ? costs[1].second : a;
    if (a > b) std::swap(a, b);
    low_ = a;
    gap_ = b - a;
    lowSet_ = fold_->Variants(needle[a]);
    highSet_ = fold_->Variants(needle[b]);
    vector_ = lowSet_.size() <= 4 && highSet_.size() <= 4;
  }

  std::size_t Size() const { return folded_.size(); }

  // Offset of the first folded occurrence at or after from, or npos.
  std::size_t Find(std::basic_string_view<C> text, std::size_t from) const {
    const std::size_t m = folded_.size();
    const std::size_t n = text.size();
    if (m == 0 || from > n || n - from < m) return npos;
    const C* const base = text.data();
    // Candidates j for the lower scanned position: the start is j - low_.
    const std::size_t limit = n - m + low_ + gap_ + 1;
    for (std::size_t j = from + low_;;) {
      if (vector_) {
        j = hovrak::FindUnitPair(base, limit, j, lowSet_.data(), static_cast<int>(lowSet_.size()), gap_,
                                 highSet_.data(), static_cast<int>(highSet_.size()));
      } else {
        while (j + gap_ < limit &&
               (fold_->Fold(base[j]) != folded_[low_] || fold_->Fold(base[j + gap_]) != folded_[low_ + gap_]))
          ++j;
      }
      if (j + gap_ >= limit) return npos;
      const std::size_t start = j - low_;
      if (Matches(base + start)) return start;
      ++j;
    }
  }

  static constexpr std::size_t npos = std::basic_string_view<C>::npos;

 private:
  bool Matches(const C* at) const {
    for (std::size_t k = 0; k < folded_.size(); ++k)
      if (fold_->Fold(at[k]) != folded_[k]) return false;
    return true;
  }

  std::shared_ptr<const TCaseFold> fold_;
  std::basic_string<C> folded_;
  std::size_t low_ = 0, gap_ = 0;
  std::vector<C> lowSet_, highSet_;
  bool vector_ = false;
};
