#pragma once
// The size and content hash of one backup copy as it was made: a restore checks the
// copy against them before it writes anything, so a copy damaged since (cut short,
// overwritten) is reported instead of put back.

#include <cstdint>
#include <string>

struct TCopySum {
  std::int64_t Size = -1;  // -1: not known (units made before it was kept)
  std::uint64_t Hash = 0;

  bool Known() const { return Size >= 0; }
  // Whether bytes are the copy as made; true when nothing is known.
  bool Matches(const std::string& bytes) const;

  // "SIZE HASH" with the hash in sixteen hex digits; empty when not known.
  std::string Text() const;
  // Reads Text's form; anything else is not known.
  static TCopySum Parse(const std::string& text);
};
