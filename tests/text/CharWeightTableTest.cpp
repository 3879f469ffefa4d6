#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "text/CharWeightTable.h"

using hovrak::EucCharWeights;
using hovrak::SjisCharWeights;
using hovrak::TCharWeightTable;
using hovrak::UnicodeCharWeights;

namespace {

std::vector<std::int32_t> AllWeights(const TCharWeightTable& table) {
  std::vector<std::int32_t> weights;
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code)
    if (const std::int32_t w = table.Weight(code)) weights.push_back(w);
  std::sort(weights.begin(), weights.end());
  return weights;
}

}  // namespace

TEST(CharWeightTable, ThreeKeysHoldTheSameCharactersAndTotal) {
  const auto sjis = AllWeights(SjisCharWeights);
  ASSERT_EQ(sjis.size(), 1691u);
  EXPECT_EQ(sjis.front(), 100);
  EXPECT_EQ(sjis.back(), 395578);
  std::int64_t total = 0;
  for (std::int32_t w : sjis) total += w;
  EXPECT_EQ(total, 6146799);
  EXPECT_EQ(AllWeights(EucCharWeights), sjis);
  EXPECT_EQ(AllWeights(UnicodeCharWeights), sjis);
}

TEST(CharWeightTable, QuotedRowsUnderEveryKey) {
  struct TRow {
    std::uint32_t sjis, euc, unicode;
    std::int32_t weight;
  };
  const TRow rows[] = {
      {0x8140, 0xA1A1, 0x3000, 395578},  // ideographic space
      {0x82CC, 0xA4CE, 0x306E, 150324},  // の
      {0x815B, 0xA1BC, 0x30FC, 122124},  // ー
      {0x82A2, 0xA4A4, 0x3044, 109859},  // い
      {0x8142, 0xA1A3, 0x3002, 91442},   // 。
      {0x8141, 0xA1A2, 0x3001, 84908},   // 、
      {0x93FA, 0xC6FC, 0x65E5, 29567},   // 日
      {0x82A0, 0xA4A2, 0x3042, 27572},   // あ
      {0x8E9A, 0xBBFA, 0x5B57, 4703},    // 字
      {0x81F4, 0xA2F6, 0x266A, 1518},    // ♪
      {0xB1, 0x8EB1, 0xFF71, 784},       // half-width ｱ
      {0x9872, 0xCFD3, 0x8155, 156},     // 腕
      {0x889F, 0xB0A1, 0x4E9C, 0},       // 亜
      {'A', 'A', 'A', 0},
  };
  for (const TRow& row : rows) {
    EXPECT_EQ(SjisCharWeights.Weight(row.sjis), row.weight) << std::hex << row.unicode;
    EXPECT_EQ(EucCharWeights.Weight(row.euc), row.weight) << std::hex << row.unicode;
    EXPECT_EQ(UnicodeCharWeights.Weight(row.unicode), row.weight) << std::hex << row.unicode;
  }
  for (std::uint32_t b = 0; b < 0x80; ++b) EXPECT_EQ(SjisCharWeights.Weight(b), 0) << b;
  EXPECT_EQ(UnicodeCharWeights.Weight(0x13000), 0);
  EXPECT_EQ(UnicodeCharWeights.Weight(0xFFFFFFFF), 0);
}
