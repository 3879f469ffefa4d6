#include "text/DetectCharCode.h"

#include <algorithm>
#include <cstring>

#include "text/AnalyzeEncoding.h"
#include "text/Utf8Scan.h"

namespace {

// The analyser looks at no more than this many bytes from the first non-text byte on.
constexpr std::size_t kAnalyseLimit = 2000;

bool IsPlainText(unsigned char b) { return (b >= 0x20 && b <= 0x7E) || b == '\n' || b == '\r' || b == '\t'; }

// Whether well-formed UTF-8 holds a Japanese character; stops at the first.
bool HasJapaneseCharacter(const unsigned char* p, const unsigned char* end) {
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
    } else if (b < 0xE0) {
      p += 2;  // U+0080-07FF: no Japanese character
    } else if (b < 0xF0) {
      if (IsJapaneseCharacter((b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu))) return true;
      p += 3;
    } else {
      p += 4;  // past U+FFFF: no Japanese character
    }
  }
  return false;
}

// Whether the bytes are well-formed UTF-8 from start to end with a Japanese character
// among them. The check stops soon on Shift-JIS and EUC-JP text, which breaks the
// UTF-8 rules within a few bytes; UTF-8 text is checked whole, so that a file is not
// read as UTF-8 when bytes further on would not survive the round trip.
bool IsJapaneseUtf8(const char* data, std::size_t size) {
  if (hovrak::ClassifyUtf8(data, size) != hovrak::TUtf8Form::Utf8) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  return HasJapaneseCharacter(bytes, bytes + size);
}

}  // namespace

bool IsJapaneseCharacter(std::uint32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

TCharCode DetectCharCode(const char* data, std::size_t size, bool* wellFormed) {
  if (wellFormed) *wellFormed = false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return TCharCode::UTF16;
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return TCharCode::UTF8;

  std::size_t first = 0;
  while (first < size && IsPlainText(bytes[first])) ++first;
  const std::size_t start = first / 4 * 4;

  // The bytes before `first` are plain ASCII, so a UTF-8 check may start there.
  const auto japaneseUtf8 = [&] {
    const bool yes = IsJapaneseUtf8(data + first, size - first);
    if (wellFormed) *wellFormed = yes;
    return yes;
  };
  // The analyser answers UTF-16, UTF-32 or JIS only for a NUL, SI or ESC among the
  // bytes it reads; every other answer gives way to well-formed Japanese UTF-8. So
  // without those bytes such text is UTF-8 whatever it would score: most UTF-8 files
  // are told without scoring.
  const std::size_t sampled = std::min(size - start, kAnalyseLimit);
  const bool mayScoreOther = std::memchr(data + start, 0x00, sampled) || std::memchr(data + start, 0x0F, sampled) ||
                             std::memchr(data + start, 0x1B, sampled);
  if (!mayScoreOther) {
    if (japaneseUtf8()) return TCharCode::UTF8N;
  }

  TCharCode scored;
  switch (hovrak::analyze_encoding(data + start, size - start, kAnalyseLimit)) {
    case hovrak::TEncoding::ASCII: scored = TCharCode::ASCII; break;
    case hovrak::TEncoding::ShiftJIS: scored = TCharCode::SJIS; break;
    case hovrak::TEncoding::JIS: return TCharCode::JIS;
    case hovrak::TEncoding::EUCJP: scored = TCharCode::EUC; break;
    case hovrak::TEncoding::UTF8: return TCharCode::UTF8N;
    default: return TCharCode::Unknown;  // nothing, or zero bytes
  }
  if (!mayScoreOther) return scored;  // the UTF-8 check above failed
  return japaneseUtf8() ? TCharCode::UTF8N : scored;
}

TCharCode DetectCharCode(const std::string& bytes, bool* wellFormed) {
  return DetectCharCode(bytes.data(), bytes.size(), wellFormed);
}
