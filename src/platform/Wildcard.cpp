#include "platform/Wildcard.h"

namespace hovrak {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the character at i: the length of a valid UTF-8 sequence, else 1.
std::size_t CharLength(const std::string& s, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  if (i + length > s.size()) return 1;
  const unsigned char second = static_cast<unsigned char>(s[i + 1]);
  if (second < low || second > high) return 1;
  for (std::size_t k = 2; k < length; ++k)
    if (!IsContinuation(static_cast<unsigned char>(s[i + k]))) return 1;
  return length;
}

unsigned char FoldAscii(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

bool MatchWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  // Greedy matching that backtracks only to the last star. The text between two
  // stars matches in one way at a given position, so moving the last star's run
  // forward one character at a time finds a match whenever there is one. The run
  // grows by whole characters so that "?" always starts on a character.
  const std::size_t none = std::string::npos;
  std::size_t p = 0, n = 0;
  std::size_t starP = none, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && FoldAscii(pattern[p]) == FoldAscii(name[n])) {
      ++p;
      ++n;
    } else if (starP != none) {
      starN += CharLength(name, starN);
      n = starN;
      p = starP;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace hovrak
