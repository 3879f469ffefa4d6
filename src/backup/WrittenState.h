#pragma once
// The size and last-write time a file had right after a run wrote it, kept with its
// backup copy: a restore that finds the file still so knows no one worked on it since.

#include <cstdint>
#include <string>

namespace hovrak {
struct TFileIdentity;
}

struct TWrittenState {
  std::int64_t Size = -1;  // -1: not known
  std::int64_t Seconds = 0;
  long Nanoseconds = 0;

  bool Known() const { return Size >= 0; }

  static TWrittenState FromIdentity(const hovrak::TFileIdentity& identity);
  // The state of the file at path now (links followed); not Known when it cannot be
  // queried.
  static TWrittenState OfPath(const std::string& path);

  // "SIZE SECONDS.NANOSECONDS" (time since 1970 in UTC); empty when not known.
  std::string Text() const;
  // Reads Text's form; anything else leaves the state not known.
  static TWrittenState Parse(const std::string& text);

  bool operator==(const TWrittenState& other) const {
    return Size == other.Size && Seconds == other.Seconds && Nanoseconds == other.Nanoseconds;
  }
  bool operator!=(const TWrittenState& other) const { return !(*this == other); }
};
