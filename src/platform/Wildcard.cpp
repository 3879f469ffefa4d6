#include "platform/Wildcard.h"

#include "platform/Utf8Sequence.h"

namespace hovrak {
namespace {

// Length of the character at i: the length of a valid UTF-8 sequence, else 1.
std::size_t CharLength(const std::string& s, std::size_t i) {
  const std::size_t length = Utf8SequenceLength(s.data() + i, s.size() - i);
  return length == 0 ? 1 : length;
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
