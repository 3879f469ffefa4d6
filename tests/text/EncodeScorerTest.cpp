#include <gtest/gtest.h>

#include <string>

#include "text/EncodeScorer.h"

using hovrak::TEncodeScorer;
using TKind = TEncodeScorer::TKind;

namespace {

TEncodeScorer Scored(TKind kind, const std::string& bytes) {
  TEncodeScorer scorer(kind);
  for (char c : bytes) scorer.Feed(static_cast<unsigned char>(c));
  return scorer;
}

}  // namespace

TEST(EncodeScorer, ShiftJIS) {
  // の, half-width ｱ, ASCII.
  auto s = Scored(TKind::ShiftJIS, "\x82\xCC\xB1z");
  EXPECT_EQ(s.WeightSum(), 150324 + 784);
  EXPECT_EQ(s.InvalidCount(), 0);
  // A lead byte before a non-trail byte: the byte is consumed, not rescored.
  s = Scored(TKind::ShiftJIS, "\x82\x30\xB1");
  EXPECT_EQ(s.InvalidCount(), 1);
  EXPECT_EQ(s.WeightSum(), 784);
  // FD-FF and NUL are invalid anywhere and reset the state.
  s = Scored(TKind::ShiftJIS, "\x82\xFD\xFE\xFF" + std::string(1, '\0') + "\x82\xCC");
  EXPECT_EQ(s.InvalidCount(), 4);
  EXPECT_EQ(s.WeightSum(), 150324);
  EXPECT_EQ(s.Score(), 150324 - 4 * TEncodeScorer::kInvalidPenalty);
}

TEST(EncodeScorer, EUCJP) {
  // の, half-width ｱ (SS2), ASCII.
  auto s = Scored(TKind::EUCJP, "\xA4\xCE\x8E\xB1z");
  EXPECT_EQ(s.WeightSum(), 150324 + 784);
  EXPECT_EQ(s.InvalidCount(), 0);
  // SS3 skips the two bytes of a JIS X 0212 character unscored.
  s = Scored(TKind::EUCJP, "\x8F\xA4\xCE\xA4\xCE");
  EXPECT_EQ(s.WeightSum(), 150324);
  // A second byte below 80 is invalid and consumed; NUL resets.
  s = Scored(TKind::EUCJP,
             "\xA4"
             "a"
             "\xA4" +
                 std::string(1, '\0') + "\xA4\xCE");
  EXPECT_EQ(s.InvalidCount(), 2);
  EXPECT_EQ(s.WeightSum(), 150324);
}

TEST(EncodeScorer, UTF8) {
  // の, ー, ASCII.
  auto s = Scored(TKind::UTF8, "\xE3\x81\xAE\xE3\x83\xBCz");
  EXPECT_EQ(s.WeightSum(), 150324 + 122124);
  EXPECT_EQ(s.InvalidCount(), 0);
  // A character outside the BMP and 5- and 6-byte forms are consumed unscored.
  s = Scored(TKind::UTF8, "\xF0\x9F\x98\x80\xF8\x80\x80\x80\x80\xFD\xBF\xBF\xBF\xBF\xBF\xE3\x81\xAE");
  EXPECT_EQ(s.InvalidCount(), 0);
  EXPECT_EQ(s.WeightSum(), 150324);
  // Stray continuation and FE/FF bytes are invalid; a broken sequence consumes the
  // byte that broke it (here the lead of the next の, whose two tail bytes then stand alone).
  s = Scored(TKind::UTF8, "\x80\xFE\xFF\xE3\x81\xE3\x81\xAE");
  EXPECT_EQ(s.InvalidCount(), 6);
  EXPECT_EQ(s.WeightSum(), 0);
}
