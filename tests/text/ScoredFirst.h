#pragma once
// Character-code detection the long way, for checking the detector against: the
// scores first, then well-formed Japanese UTF-8 wins over the codes that give way
// to it.

#include <cstdint>
#include <string>

#include "text/AnalyzeEncoding.h"
#include "text/Conversions.h"
#include "text/DetectCharCode.h"
#include "text/Utf8Scan.h"

inline TCharCode ScoredFirst(const std::string& bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return TCharCode::UTF16;
  if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return TCharCode::UTF8;
  std::size_t first = 0;
  while (first < bytes.size() &&
         ((b[first] >= 0x20 && b[first] <= 0x7E) || b[first] == '\n' || b[first] == '\r' || b[first] == '\t'))
    ++first;
  const std::size_t start = first / 4 * 4;
  TCharCode scored;
  switch (hovrak::analyze_encoding(bytes.data() + start, bytes.size() - start, 2000)) {
    case hovrak::TEncoding::ASCII: scored = TCharCode::ASCII; break;
    case hovrak::TEncoding::ShiftJIS: scored = TCharCode::SJIS; break;
    case hovrak::TEncoding::EUCJP: scored = TCharCode::EUC; break;
    case hovrak::TEncoding::JIS: return TCharCode::JIS;
    case hovrak::TEncoding::UTF8: return TCharCode::UTF8N;
    default: return TCharCode::Unknown;
  }
  if (hovrak::ClassifyUtf8(bytes.data(), bytes.size()) != hovrak::TUtf8Form::Utf8) return scored;
  for (const wchar_t c : hovrak::utf8_to_unicode(bytes))  // well-formed: exact, NULs and all
    if (IsJapaneseCharacter(static_cast<std::uint32_t>(c))) return TCharCode::UTF8N;
  return scored;
}
