#pragma once
// Frequency weights of common Japanese characters, keyed by a 16-bit character code
// (a single-byte character by its byte), used to score encoding guesses.

#include <cstdint>

namespace hovrak {

// A sparse three-level table: the key's high 8 bits pick a block, the next 3 bits a
// sub-block, the low 5 bits an entry. A missing block or sub-block weighs 0.
class TCharWeightTable {
 public:
  using TSubBlock = const std::int32_t*;
  using TBlock = const TSubBlock*;

  constexpr explicit TCharWeightTable(const TBlock* blocks) : blocks_(blocks) {}

  // The weight of a code; 0 for codes above 0xFFFF and for codes not in the table.
  std::int32_t Weight(std::uint32_t code) const {
    if (code > 0xFFFF) return 0;
    const TBlock block = blocks_[code >> 8];
    if (!block) return 0;
    const TSubBlock sub = block[(code >> 5) & 7];
    return sub ? sub[code & 31] : 0;
  }

 private:
  const TBlock* blocks_;  // 256 entries
};

// The same characters and weights under three keys (generated, CharWeightTables.cpp).
extern const TCharWeightTable SjisCharWeights;     // Shift-JIS (code page 932) code
extern const TCharWeightTable EucCharWeights;      // EUC-JP code
extern const TCharWeightTable UnicodeCharWeights;  // Unicode code point

}  // namespace hovrak
