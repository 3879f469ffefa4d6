#include "text/LineEndStyle.h"

#include <cstring>
#include <type_traits>

namespace {

// What one more kind of line end does to the style found so far.
TLineEndStyle Add(TLineEndStyle style, TLineEndStyle kind) {
  if (style == TLineEndStyle::None || style == kind) return kind;
  return TLineEndStyle::Mixed;
}

// The style of size units, unit(i) giving unit i as a number.
template <class TUnit>
TLineEndStyle StyleOfUnits(std::size_t size, TUnit unit) {
  TLineEndStyle style = TLineEndStyle::None;
  for (std::size_t i = 0; i < size && style != TLineEndStyle::Mixed; ++i) {
    const unsigned c = unit(i);
    if (c == '\n') {
      style = Add(style, TLineEndStyle::Lf);
    } else if (c == '\r') {
      const bool pair = i + 1 < size && unit(i + 1) == '\n';
      style = Add(style, pair ? TLineEndStyle::CrLf : TLineEndStyle::Cr);
      if (pair) ++i;
    }
  }
  return style;
}

// Bytes: the stretches between line ends, long in most texts, are skipped with memchr,
// and a text without any CR needs no more than a look for an LF.
TLineEndStyle StyleOfBytes(const char* text, std::size_t size) {
  const char* const end = text + size;
  const auto* cr = static_cast<const char*>(std::memchr(text, '\r', size));
  if (!cr) return std::memchr(text, '\n', size) ? TLineEndStyle::Lf : TLineEndStyle::None;
  TLineEndStyle style =
      std::memchr(text, '\n', static_cast<std::size_t>(cr - text)) ? TLineEndStyle::Lf : TLineEndStyle::None;
  const char* p = cr;
  while (p < end && style != TLineEndStyle::Mixed) {
    if (*p == '\r') {
      const bool pair = p + 1 < end && p[1] == '\n';
      style = Add(style, pair ? TLineEndStyle::CrLf : TLineEndStyle::Cr);
      p += pair ? 2 : 1;
    } else if (*p == '\n') {
      style = Add(style, TLineEndStyle::Lf);
      ++p;
    } else {
      const std::size_t rest = static_cast<std::size_t>(end - p);
      const auto* nextCr = static_cast<const char*>(std::memchr(p, '\r', rest));
      const auto* nextLf =
          static_cast<const char*>(std::memchr(p, '\n', nextCr ? static_cast<std::size_t>(nextCr - p) : rest));
      if (!nextCr && !nextLf) break;
      p = nextLf ? nextLf : nextCr;
    }
  }
  return style;
}

}  // namespace

template <class C>
TLineEndStyle FindLineEndStyle(const C* text, std::size_t size) {
  if constexpr (std::is_same_v<C, char>) {
    return StyleOfBytes(text, size);
  } else {
    return StyleOfUnits(size, [text](std::size_t i) { return static_cast<unsigned>(text[i]); });
  }
}

TLineEndStyle LineEndStyleOfBytes(std::string_view bytes, TCharCode code) {
  if (code != TCharCode::UTF16) return StyleOfBytes(bytes.data(), bytes.size());
  // Little-endian units; an odd last byte is a unit of its own, as decoding reads it.
  const std::size_t size = bytes.size();
  return StyleOfUnits((size + 1) / 2, [&bytes, size](std::size_t i) {
    const unsigned low = static_cast<unsigned char>(bytes[2 * i]);
    const unsigned high = 2 * i + 1 < size ? static_cast<unsigned char>(bytes[2 * i + 1]) : 0;
    return low | (high << 8);
  });
}

const char* LineEndStyleText(TLineEndStyle style) {
  switch (style) {
    case TLineEndStyle::Lf: return "LF";
    case TLineEndStyle::CrLf: return "CR LF";
    case TLineEndStyle::Cr: return "CR";
    case TLineEndStyle::Mixed: return "mixed";
    default: return "none";
  }
}

template TLineEndStyle FindLineEndStyle<char>(const char*, std::size_t);
template TLineEndStyle FindLineEndStyle<wchar_t>(const wchar_t*, std::size_t);
template TLineEndStyle FindLineEndStyle<char16_t>(const char16_t*, std::size_t);
