#pragma once
// Scores a byte string as one Japanese encoding (Shift-JIS, EUC-JP or UTF-8): the sum of
// the frequency weights of the characters it decodes to, less a penalty per invalid byte.

#include <cstddef>
#include <cstdint>

namespace hovrak {

class TEncodeScorer {
 public:
  enum class TKind : std::uint8_t { ShiftJIS, EUCJP, UTF8 };

  // Deducted from the weight sum per invalid sequence; equal to the largest weight.
  static constexpr std::int64_t kInvalidPenalty = 395578;

  explicit TEncodeScorer(TKind kind) : kind_(kind) {}

  // Feeds the next byte of the string.
  void Feed(unsigned char b);
  // Feeds the next size bytes.
  void Feed(const unsigned char* data, std::size_t size);

  std::int64_t WeightSum() const { return weights_; }
  std::int64_t InvalidCount() const { return invalid_; }
  // Weight sum minus the penalty times the invalid count.
  std::int64_t Score() const { return weights_ - kInvalidPenalty * invalid_; }

 private:
  void FeedShiftJIS(unsigned char b);
  void FeedEUCJP(unsigned char b);
  void FeedUTF8(unsigned char b);

  TKind kind_;
  // Shift-JIS: 0 first byte, 1 trail byte. EUC-JP: 0 first byte, 1 second byte, negative
  // bytes still to skip. UTF-8: 0 first byte, -k continuation bytes still expected.
  int state_ = 0;
  std::uint32_t value_ = 0;  // lead byte (Shift-JIS, EUC-JP) or the code point so far (UTF-8)
  std::int64_t weights_ = 0;
  std::int64_t invalid_ = 0;
};

}  // namespace hovrak
