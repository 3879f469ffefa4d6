#pragma once
// The character codes a file can be read and written in, shared by detection, the
// text file, the options and the settings file (where the stream text is stored).

#include <cstdint>
#include <iosfwd>

enum class TCharCode : std::uint8_t {
  Auto = 0,
  SJIS = 1,
  UTF16 = 2,
  ASCII = 3,
  EUC = 4,
  JIS = 5,
  UTF8 = 6,
  UTF8N = 7,
  Unknown = 8,
};

// Stream text ("Auto", "SJIS", ...). A value outside 0..8 writes nothing.
std::ostream& operator<<(std::ostream& os, TCharCode code);
// Reads one whitespace-delimited word and compares it exactly with the nine stream
// texts; any other word sets failbit and leaves the target unchanged.
std::istream& operator>>(std::istream& is, TCharCode& code);

// The stream text, or nullptr for a value outside 0..8.
const char* CharCodeStreamText(TCharCode code);
// The combo-box text (UTF-8), or nullptr for Unknown and values outside 0..7.
const char* CharCodeComboText(TCharCode code);
