#include "cli/TerminalText.h"

#include <unistd.h>

#include "platform/Utf8Sequence.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char b) {
  out += "\\x";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

}  // namespace

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
    const std::size_t n = hovrak::Utf8SequenceLength(text.data() + i, text.size() - i);
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

bool IsTerminal(std::FILE* stream) {
  const int fd = stream ? ::fileno(stream) : -1;
  return fd >= 0 && ::isatty(fd) == 1;
}

std::string TextForStream(std::FILE* stream, std::string_view text, bool keepTab) {
  if (!IsTerminal(stream)) return std::string(text);
  return EscapeForTerminal(text, keepTab);
}
