#include "text/Utf8Context.h"

#include <algorithm>
#include <cstdint>

namespace hovrak {

std::size_t DecodeUtf8Units(const char* data, std::size_t size, TNewLineKind kind, wchar_t* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  wchar_t* const start = out;
  while (p < end) {
    std::uint32_t c = *p;
    if (c < 0x80) {
      ++p;
      if (c == '\r') {
        if (kind == TNewLineKind::CrLf) continue;
        if (kind == TNewLineKind::Cr) c = '\n';
      }
      *out++ = static_cast<wchar_t>(c);
    } else if (c < 0xE0) {
      *out++ = static_cast<wchar_t>((c & 0x1F) << 6 | (p[1] & 0x3F));
      p += 2;
    } else if (c < 0xF0) {
      *out++ = static_cast<wchar_t>((c & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
      p += 3;
    } else {
      c = ((c & 0x07) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu)) - 0x10000;
      *out++ = static_cast<wchar_t>(0xD800 | c >> 10);
      *out++ = static_cast<wchar_t>(0xDC00 | (c & 0x3FF));
      p += 4;
    }
  }
  return static_cast<std::size_t>(out - start);
}

std::wstring DecodeUtf8Units(std::string_view bytes, TNewLineKind kind) {
  std::wstring out(bytes.size(), L'\0');  // a byte never gives more than one unit
  out.resize(DecodeUtf8Units(bytes.data(), bytes.size(), kind, &out[0]));
  return out;
}

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Decodes bytes and keeps count units from the front (fromBack: from the back); a
// context window is small, so it is decoded on the stack.
std::wstring DecodeKeeping(std::string_view bytes, TNewLineKind kind, std::size_t count, bool fromBack) {
  wchar_t buffer[1024];
  if (bytes.size() > sizeof buffer / sizeof buffer[0]) {
    std::wstring decoded = DecodeUtf8Units(bytes, kind);
    if (decoded.size() <= count) return decoded;
    return fromBack ? decoded.substr(decoded.size() - count) : decoded.substr(0, count);
  }
  const std::size_t n = DecodeUtf8Units(bytes.data(), bytes.size(), kind, buffer);
  if (n <= count) return std::wstring(buffer, n);
  return fromBack ? std::wstring(buffer + n - count, count) : std::wstring(buffer, count);
}

}  // namespace

// At most four bytes make one unit, so 4 * units bytes always hold the units wanted;
// the window is moved to a character start.
std::wstring Utf8ContextBefore(std::string_view bytes, std::size_t low, std::size_t at, TNewLineKind kind,
                               std::size_t units) {
  const std::size_t window = 4 * units;
  std::size_t from = at - low > window ? at - window : low;
  while (from < at && IsContinuation(bytes[from])) ++from;
  return DecodeKeeping(bytes.substr(from, at - from), kind, units, true);
}

std::wstring Utf8ContextAfter(std::string_view bytes, std::size_t from, std::size_t high, TNewLineKind kind,
                              std::size_t units) {
  const std::size_t window = 4 * units;
  std::size_t to = high - from > window ? from + window : high;
  while (to > from && to < high && IsContinuation(bytes[to])) --to;
  return DecodeKeeping(bytes.substr(from, to - from), kind, units, false);
}

}  // namespace hovrak
