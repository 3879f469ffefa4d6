#pragma once
// The size, last-write time and content hash a file had right after a run wrote it,
// kept with its backup copy: a restore that finds the file still so knows no one
// worked on it since, also when an edit kept its size and time (cp -p, touch -r).

#include <cstdint>
#include <string>

namespace hovrak {
struct TFileIdentity;
}

struct TWrittenState {
  std::int64_t Size = -1;  // -1: not known
  std::int64_t Seconds = 0;
  long Nanoseconds = 0;
  // The content hash (hovrak::TContentHash) of the bytes written; not known in
  // records made before it was kept.
  bool HashKnown = false;
  std::uint64_t Hash = 0;

  bool Known() const { return Size >= 0; }

  // The state of a file as written, with the hash of its bytes.
  static TWrittenState FromIdentity(const hovrak::TFileIdentity& identity);
  static TWrittenState FromIdentity(const hovrak::TFileIdentity& identity, std::uint64_t hash);
  // The size and time of the file at path now (links followed), without a hash;
  // not Known when it cannot be queried.
  static TWrittenState OfPath(const std::string& path);

  // "SIZE SECONDS.NANOSECONDS" (time since 1970 in UTC); empty when not known. The
  // hash is not part of it: older versions read this form strictly.
  std::string Text() const;
  // Reads Text's form; anything else leaves the state not known.
  static TWrittenState Parse(const std::string& text);
  // The hash as sixteen hex digits, empty when not known; and back (anything else
  // leaves it not known).
  std::string HashText() const;
  void ParseHash(const std::string& text);

  // Same size and time; the hash is compared on its own.
  bool operator==(const TWrittenState& other) const {
    return Size == other.Size && Seconds == other.Seconds && Nanoseconds == other.Nanoseconds;
  }
  bool operator!=(const TWrittenState& other) const { return !(*this == other); }
};
