#include "cli/TerminalText.h"

#include <unistd.h>

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char b) {
  out += "\\x";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t n;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (b >= 0xC2 && b <= 0xDF) n = 2;
  else if (b == 0xE0) n = 3, low = 0xA0;
  else if (b >= 0xE1 && b <= 0xEC) n = 3;
  else if (b == 0xED) n = 3, high = 0x9F;  // no surrogates
  else if (b >= 0xEE && b <= 0xEF) n = 3;
  else if (b == 0xF0) n = 4, low = 0x90;
  else if (b >= 0xF1 && b <= 0xF3) n = 4;
  else if (b == 0xF4) n = 4, high = 0x8F;
  else return 0;
  if (text.size() - i < n) return 0;
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (second < low || second > high) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

std::string EscapeForTerminal(std::string_view text, bool keepTab) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if ((b >= 0x20 && b < 0x7F) || (b == '\t' && keepTab)) {
        out += static_cast<char>(b);
      } else {
        out += '^';
        out += static_cast<char>(b == 0x7F ? '?' : b + 0x40);
      }
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceAt(text, i);
    if (n == 0) {
      AppendHexByte(out, b);
      ++i;
      continue;
    }
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (b == 0xC2 && second < 0xA0) {  // U+0080 to U+009F
      out += "\\u00";
      out += kHex[second >> 4];
      out += kHex[second & 15];
    } else {
      out.append(text.data() + i, n);
    }
    i += n;
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceAt(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

bool IsTerminal(std::FILE* stream) {
  const int fd = stream ? ::fileno(stream) : -1;
  return fd >= 0 && ::isatty(fd) == 1;
}

std::string TextForStream(std::FILE* stream, std::string_view text, bool keepTab) {
  if (!IsTerminal(stream)) return std::string(text);
  return EscapeForTerminal(text, keepTab);
}
