#include "platform/ContentHash.h"

#include <cstring>

namespace hovrak {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

inline std::uint64_t Rotate(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// Little-endian reads, as the hash is defined (this code runs on little-endian x86).
inline std::uint64_t Read64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

inline std::uint32_t Read32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
  acc += input * kPrime2;
  return Rotate(acc, 31) * kPrime1;
}

inline std::uint64_t Merge(std::uint64_t acc, std::uint64_t lane) {
  acc ^= Round(0, lane);
  return acc * kPrime1 + kPrime4;
}

// Takes every whole 32-byte stripe of [p, end); returns where the rest starts.
const unsigned char* Stripes(std::uint64_t* lanes, const unsigned char* p, const unsigned char* end) {
  std::uint64_t a = lanes[0], b = lanes[1], c = lanes[2], d = lanes[3];
  while (end - p >= 32) {
    a = Round(a, Read64(p));
    b = Round(b, Read64(p + 8));
    c = Round(c, Read64(p + 16));
    d = Round(d, Read64(p + 24));
    p += 32;
  }
  lanes[0] = a, lanes[1] = b, lanes[2] = c, lanes[3] = d;
  return p;
}

}  // namespace

void TContentHash::Add(const char* data, std::size_t size) {
  if (size == 0) return;
  auto p = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* const end = p + size;
  total_ += size;
  if (pendingSize_ > 0) {
    const std::size_t take = std::min<std::size_t>(32 - pendingSize_, size);
    std::memcpy(pending_ + pendingSize_, p, take);
    pendingSize_ += take;
    p += take;
    if (pendingSize_ < 32) return;
    Stripes(lanes_, pending_, pending_ + 32);
    pendingSize_ = 0;
  }
  p = Stripes(lanes_, p, end);
  pendingSize_ = static_cast<std::size_t>(end - p);
  std::memcpy(pending_, p, pendingSize_);
}

std::uint64_t TContentHash::Value() const {
  std::uint64_t h;
  if (total_ >= 32) {
    h = Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) + Rotate(lanes_[3], 18);
    for (const std::uint64_t lane : lanes_) h = Merge(h, lane);
  } else {
    h = kPrime5;
  }
  h += total_;
  const unsigned char* p = pending_;
  const unsigned char* const end = pending_ + pendingSize_;
  for (; end - p >= 8; p += 8) h = Rotate(h ^ Round(0, Read64(p)), 27) * kPrime1 + kPrime4;
  if (end - p >= 4) {
    h = Rotate(h ^ (static_cast<std::uint64_t>(Read32(p)) * kPrime1), 23) * kPrime2 + kPrime3;
    p += 4;
  }
  for (; p < end; ++p) h = Rotate(h ^ (*p * kPrime5), 11) * kPrime1;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

std::uint64_t TContentHash::Of(const char* data, std::size_t size) {
  TContentHash hash;
  hash.Add(data, size);
  return hash.Value();
}

std::string TContentHash::Text(std::uint64_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return text;
}

bool TContentHash::Parse(const std::string& text, std::uint64_t& value) {
  if (text.size() != 16) return false;
  std::uint64_t v = 0;
  for (const char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    v = (v << 4) | static_cast<std::uint64_t>(digit);
  }
  value = v;
  return true;
}

}  // namespace hovrak
