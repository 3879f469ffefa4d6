#include "text/EncodeScorer.h"

#include "platform/Utf8Sequence.h"
#include "text/CharWeightTable.h"

namespace hovrak {

namespace {

bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsSjisTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
// 0x8F (SS3, three-byte characters) is handled on its own.
bool IsEucLead(unsigned char b) { return b == 0x8E || (b >= 0x90 && b <= 0x9F) || b >= 0xA1; }

// Sequence length by first byte; 0 for a byte that cannot start a sequence.
int Utf8Length(unsigned char b) {
  if (b < 0x80) return 1;
  if (b < 0xC0) return 0;
  if (b < 0xE0) return 2;
  if (b < 0xF0) return 3;
  if (b < 0xF8) return 4;
  if (b < 0xFC) return 5;
  if (b < 0xFE) return 6;
  return 0;
}

constexpr unsigned char kUtf8ValueBits[7] = {0, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

}  // namespace

void TEncodeScorer::Feed(unsigned char b) {
  switch (kind_) {
    case TKind::ShiftJIS: FeedShiftJIS(b); break;
    case TKind::EUCJP: FeedEUCJP(b); break;
    case TKind::UTF8: FeedUTF8(b); break;
  }
}

void TEncodeScorer::Feed(const unsigned char* data, std::size_t size) {
  // The kind is chosen once for the whole run of bytes, and the state lives in a
  // local copy: the bytes could alias the members, which would otherwise be stored
  // back after every byte.
  TEncodeScorer local = *this;
  switch (kind_) {
    case TKind::ShiftJIS:
      for (std::size_t i = 0; i < size; ++i) local.FeedShiftJIS(data[i]);
      break;
    case TKind::EUCJP:
      for (std::size_t i = 0; i < size; ++i) local.FeedEUCJP(data[i]);
      break;
    case TKind::UTF8:
      for (std::size_t i = 0; i < size; ++i) local.FeedUTF8(data[i]);
      break;
  }
  *this = local;
}

void TEncodeScorer::FeedShiftJIS(unsigned char b) {
  if (b == 0x00 || b >= 0xFD) {
    state_ = 0;
    ++invalid_;
  } else if (state_ == 1) {
    if (IsSjisTrail(b)) weights_ += SjisCharWeights.Weight(value_ << 8 | b);
    else ++invalid_;
    state_ = 0;
  } else if (IsSjisLead(b)) {
    value_ = b;
    state_ = 1;
  } else {
    weights_ += SjisCharWeights.Weight(b);
  }
}

void TEncodeScorer::FeedEUCJP(unsigned char b) {
  if (b == 0x00) {
    state_ = 0;
    ++invalid_;
  } else if (state_ == 0) {
    if (IsEucLead(b)) {
      value_ = b;
      state_ = 1;
    } else if (b == 0x8F) {
      state_ = -2;  // the two bytes of a JIS X 0212 character go unscored
    }
  } else if (state_ == 1) {
    if (b < 0x80) ++invalid_;
    else weights_ += EucCharWeights.Weight(value_ << 8 | b);
    state_ = 0;
  } else {
    ++state_;
  }
}

void TEncodeScorer::FeedUTF8(unsigned char b) {
  if (b == 0x00) {
    state_ = 0;
    ++invalid_;
  } else if (state_ == 0) {
    const int n = Utf8Length(b);
    if (n == 0) {
      ++invalid_;
    } else {
      value_ = b & kUtf8ValueBits[n];
      state_ = 1 - n;
    }
  } else if (hovrak::IsUtf8Continuation(b)) {
    value_ = value_ << 6 | (b & 0x3F);
    if (++state_ == 0 && value_ < 0x10000) weights_ += UnicodeCharWeights.Weight(value_);
  } else {
    state_ = 0;
    ++invalid_;
  }
}

}  // namespace hovrak
