#pragma once
// The search mode chosen in the main window and stored with the options. The value
// is also the index of the mode's item in the mode lists of the windows.

#include <cstdint>
#include <iosfwd>

enum class TSearchMode : std::uint8_t {
  Normal = 0,
  Word = 1,
  Regex = 2,
};

// "Normal", "Word" or "Regex". A value outside 0..2 writes nothing.
std::ostream& operator<<(std::ostream& os, TSearchMode mode);
// Reads one whitespace-delimited word that must equal one of the names exactly
// (case matters); any other word sets failbit and leaves the target unchanged.
std::istream& operator>>(std::istream& is, TSearchMode& mode);

// The stream name, or nullptr for a value outside 0..2.
const char* SearchModeStreamText(TSearchMode mode);
