#include "text/DetectCharCode.h"

#include "text/AnalyzeEncoding.h"

namespace {

// The analyser looks at no more than this many bytes from the first non-text byte on.
constexpr std::size_t kAnalyseLimit = 2000;

bool IsPlainText(unsigned char b) { return (b >= 0x20 && b <= 0x7E) || b == '\n' || b == '\r' || b == '\t'; }

}  // namespace

TCharCode DetectCharCode(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return TCharCode::UTF16;
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return TCharCode::UTF8;

  std::size_t first = 0;
  while (first < size && IsPlainText(bytes[first])) ++first;
  const std::size_t start = first / 4 * 4;

  switch (hovrak::analyze_encoding(data + start, size - start, kAnalyseLimit)) {
    case hovrak::TEncoding::ASCII: return TCharCode::ASCII;
    case hovrak::TEncoding::ShiftJIS: return TCharCode::SJIS;
    case hovrak::TEncoding::JIS: return TCharCode::JIS;
    case hovrak::TEncoding::EUCJP: return TCharCode::EUC;
    case hovrak::TEncoding::UTF8: return TCharCode::UTF8N;
    default: return TCharCode::Unknown;
  }
}

TCharCode DetectCharCode(const std::string& bytes) { return DetectCharCode(bytes.data(), bytes.size()); }
