#include "text/AnalyzeEncoding.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "text/EncodeScorer.h"

namespace hovrak {

namespace {

constexpr std::size_t kWindow = 256;

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

// Offset of the first of several strings, or npos.
std::size_t FirstOf(std::string_view s, std::initializer_list<std::string_view> parts) {
  std::size_t first = std::string_view::npos;
  for (std::string_view part : parts) first = std::min(first, s.find(part));
  return first;
}

// Decides a three-way tie by line ends, then by charset names in the text.
TEncoding BreakTie(std::string_view sample) {
  constexpr auto npos = std::string_view::npos;
  if (Contains(sample, "\n"))
    return Contains(sample, "\r\n") || Contains(sample, "\n\r") ? TEncoding::ShiftJIS : TEncoding::EUCJP;
  if (Contains(sample, "\r")) return TEncoding::ShiftJIS;
  const std::size_t u = sample.find("UTF-8");
  const std::size_t s = FirstOf(sample, {"Shift_JIS", "shift_jis", "sjis", "Shift-JIS", "shift-jis", "SJIS"});
  const std::size_t e = FirstOf(sample, {"EUC", "euc"});
  // npos is larger than every offset, so an absent name never wins a comparison.
  if (u != npos && u < s && u < e) return TEncoding::UTF8;
  if (s != npos && s < e) return TEncoding::ShiftJIS;
  if (e == npos) return TEncoding::ShiftJIS;
  return TEncoding::EUCJP;
}

}  // namespace

TEncoding analyze_encoding(const char* data, std::size_t size, std::size_t limit) {
  const std::size_t n = std::min(size, limit);
  if (n == 0) return TEncoding::None;
  const std::string_view sample(data, n);
  const std::string_view head(data, std::min<std::size_t>(size, 4));

  using namespace std::string_view_literals;
  if (StartsWith(head, "\x00\x00\xFE\xFF"sv)) return TEncoding::UTF32BE;
  if (StartsWith(head, "\xFF\xFE\x00\x00"sv)) return TEncoding::UTF32LE;
  if (StartsWith(head, "\xEF\xBB\xBF"sv)) return TEncoding::UTF8;
  if (StartsWith(head, "\xFE\xFF"sv)) return TEncoding::UTF16BE;
  if (StartsWith(head, "\xFF\xFE"sv)) return TEncoding::UTF16LE;

  const std::size_t zeros = sample.find("\x00\x00"sv);
  if (zeros != std::string_view::npos) {
    if (zeros % 4 == 0) return TEncoding::UTF32BE;
    if (zeros % 4 == 2) return TEncoding::UTF32LE;
  }

  if (Contains(sample, "\x1B$B") || Contains(sample, "\x1B(I") || Contains(sample, "\x1B$(D")) return TEncoding::JIS;

  std::size_t first = 0;
  while (first < n) {
    const auto b = static_cast<unsigned char>(sample[first]);
    if (b == 0x0F || b == 0x1B || b == 0x00 || b >= 0x80) break;
    ++first;
  }
  if (first == n) return TEncoding::ASCII;

  TEncodeScorer sjis(TEncodeScorer::TKind::ShiftJIS);
  TEncodeScorer euc(TEncodeScorer::TKind::EUCJP);
  TEncodeScorer utf8(TEncodeScorer::TKind::UTF8);
  std::size_t high = 0, evenZeros = 0, oddZeros = 0;
  const std::size_t start = first / 4 * 4;
  const std::size_t end = std::min(n, start + kWindow);
  const auto* window = reinterpret_cast<const unsigned char*>(sample.data()) + start;
  sjis.Feed(window, end - start);
  euc.Feed(window, end - start);
  utf8.Feed(window, end - start);
  for (std::size_t i = start; i < end; ++i) {
    const auto b = static_cast<unsigned char>(sample[i]);
    if (b >= 0x80) ++high;
    else if (b == 0) ++(i % 2 == 0 ? evenZeros : oddZeros);
  }

  if (evenZeros + oddZeros > 0) return evenZeros < oddZeros ? TEncoding::UTF16LE : TEncoding::UTF16BE;
  if (high > 0) {
    const std::int64_t s = sjis.Score(), e = euc.Score(), u = utf8.Score();
    if (s == e && e == u) return BreakTie(sample);
    if (e < s) return u > s ? TEncoding::UTF8 : TEncoding::ShiftJIS;
    return u > e ? TEncoding::UTF8 : TEncoding::EUCJP;
  }
  return Contains(sample, "\x0F") ? TEncoding::JIS : TEncoding::ASCII;
}

}  // namespace hovrak
