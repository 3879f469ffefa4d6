#include "text/Utf8Context.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/Utf8Sequence.h"
#include "text/Utf8Scan.h"

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

bool IsContinuation(char c) { return IsUtf8Continuation(static_cast<unsigned char>(c)); }

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

namespace {

// The first and the last byte that ends a line of the loaded text, or null. A CR in
// a CR LF text is dropped and always comes just before an LF, so it ends the line
// as well.
const char* FirstLineEnd(const char* data, std::size_t size, TNewLineKind kind) {
  const auto* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  if (kind == TNewLineKind::Lf) return lf;
  const auto* cr = static_cast<const char*>(std::memchr(data, '\r', lf ? static_cast<std::size_t>(lf - data) : size));
  return cr ? cr : lf;
}

const char* LastLineEnd(const char* data, std::size_t size, TNewLineKind kind) {
  const auto* lf = static_cast<const char*>(::memrchr(data, '\n', size));
  if (kind == TNewLineKind::Lf) return lf;
  const std::size_t skip = lf ? static_cast<std::size_t>(lf - data) + 1 : 0;
  const auto* cr = static_cast<const char*>(::memrchr(data + skip, '\r', size - skip));
  return cr ? cr : lf;
}

std::size_t UnitsOf(unsigned char lead) { return lead >= 0xF0 ? 2 : 1; }

}  // namespace

std::string_view Utf8LineBefore(std::string_view bytes, std::size_t low, std::size_t at, TNewLineKind kind,
                                std::size_t units) {
  // The line start within the decoding window of Utf8ContextBefore.
  const std::size_t window = 4 * units;
  std::size_t from = at - low > window ? at - window : low;
  if (const char* end = LastLineEnd(bytes.data() + from, at - from, kind))
    from = static_cast<std::size_t>(end - bytes.data()) + 1;
  while (from < at && IsContinuation(bytes[from])) ++from;
  // A unit is at least a byte, so a short line needs no counting; otherwise leading
  // characters go until the rest fits. A pair that would be cut in two goes whole.
  if (at - from > units) {
    std::size_t total = Utf16Length(bytes.data() + from, at - from);
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.data());
    while (total > units) {
      const std::size_t step = d[from] < 0x80 ? 1 : d[from] < 0xE0 ? 2 : d[from] < 0xF0 ? 3 : 4;
      total -= UnitsOf(d[from]);
      from += step;
    }
  }
  return bytes.substr(from, at - from);
}

std::string_view Utf8LineAfter(std::string_view bytes, std::size_t from, std::size_t high, TNewLineKind kind,
                               std::size_t units) {
  const std::size_t window = 4 * units;
  std::size_t to = high - from > window ? from + window : high;
  if (const char* end = FirstLineEnd(bytes.data() + from, to - from, kind))
    to = static_cast<std::size_t>(end - bytes.data());
  if (to - from <= units) return bytes.substr(from, to - from);
  const auto* d = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t end = from, count = 0;
  while (end < to) {
    const std::size_t u = UnitsOf(d[end]);
    if (count + u > units) break;
    count += u;
    end += d[end] < 0x80 ? 1 : d[end] < 0xE0 ? 2 : d[end] < 0xF0 ? 3 : 4;
  }
  return bytes.substr(from, end - from);
}

std::string Utf8WithLineEnds(std::string_view bytes, TNewLineKind kind) {
  if (kind == TNewLineKind::Lf || bytes.find('\r') == std::string_view::npos) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    if (c != '\r') out += c;
    else if (kind == TNewLineKind::Cr) out += '\n';
  }
  return out;
}

}  // namespace hovrak
