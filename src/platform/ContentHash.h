#pragma once
// A fast 64-bit hash of a file's bytes (XXH64 with seed 0), kept with a backup copy
// and with the state a run left a file in: a later look tells whether the bytes are
// still those, also when size and time stamps were kept (cp -p, touch -r).

#include <cstddef>
#include <cstdint>
#include <string>

namespace hovrak {

class TContentHash {
 public:
  // Adds bytes; any split of the same bytes into calls gives the same value.
  void Add(const char* data, std::size_t size);
  std::uint64_t Value() const;

  // The hash of bytes in one call.
  static std::uint64_t Of(const char* data, std::size_t size);
  static std::uint64_t Of(const std::string& bytes) { return Of(bytes.data(), bytes.size()); }

  // Sixteen lower-case hex digits, and back; false (value untouched) for any other text.
  static std::string Text(std::uint64_t value);
  static bool Parse(const std::string& text, std::uint64_t& value);

 private:
  std::uint64_t lanes_[4] = {0x9E3779B185EBCA87ULL + 0xC2B2AE3D27D4EB4FULL, 0xC2B2AE3D27D4EB4FULL, 0,
                             0 - 0x9E3779B185EBCA87ULL};
  std::uint64_t total_ = 0;
  unsigned char pending_[32];
  std::size_t pendingSize_ = 0;
};

}  // namespace hovrak
