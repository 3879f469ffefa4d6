#include "pattern/Utf8PlainSearch.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/Place.h"
#include "pattern/VectorScan.h"
#include "text/Conversions.h"
#include "text/Utf8Scan.h"

namespace {

// The UTF-8 form of needle, or empty when it has a lone surrogate, CR or LF (or a
// unit that is no UTF-16 unit), which bytes cannot show as the decoded text does.
std::string EncodeNeedle(const std::wstring& needle) {
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(needle[i]);
    if (c > 0xFFFF || c == '\r' || c == '\n' || (c >= 0xDC00 && c <= 0xDFFF)) return {};
    if (c >= 0xD800 && c <= 0xDBFF) {
      const auto low = i + 1 < needle.size() ? static_cast<std::uint32_t>(needle[i + 1]) : 0;
      if (low < 0xDC00 || low > 0xDFFF) return {};
      ++i;
    }
  }
  return hovrak::unicode_to_utf8(needle);
}

// Decodes well-formed UTF-8 into out (room for size units) with the line ends as
// loading leaves them: CR LF drops every CR, CR turns each CR into LF. Returns the
// number of units written.
std::size_t Decode(const char* data, std::size_t size, TNewLineKind kind, wchar_t* out) {
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

bool IsBreak(char c, TNewLineKind kind) { return c == '\n' || (c == '\r' && kind == TNewLineKind::Cr); }

// Bytes of context read on each side of a hit: at most three bytes make one unit,
// so this always holds the 100 units a place keeps.
constexpr std::size_t kContextBytes = 4 * TPlace<wchar_t>::ContextLength;

}  // namespace

TUtf8PlainSearch::TUtf8PlainSearch(const std::wstring& needle, bool ignoreCase, bool prefilterOnly)
    : needle_(needle), finder_(EncodeNeedle(needle)), usable_(!finder_.Needle().empty()),
      prefilterOnly_(prefilterOnly) {
  if (ignoreCase && usable_) {
    folded_ = std::make_unique<TUtf8FoldedFinder>(needle, TCaseFold::OfGlobalLocale());
    usable_ = folded_->Usable();
  }
}

std::size_t TUtf8PlainSearch::Next(std::string_view bytes, std::size_t from, std::size_t& end) const {
  if (folded_) return folded_->Find(bytes, from, end);
  const std::size_t p = finder_.Find(bytes, from);
  end = p + finder_.Needle().size();
  return p;
}

bool TUtf8PlainSearch::CanSearch(std::string_view bytes, bool asciiOnly, TNewLineKind& kind) {
  const hovrak::TUtf8Form form = hovrak::ClassifyUtf8(bytes.data(), bytes.size());
  if (form == hovrak::TUtf8Form::Malformed || (asciiOnly && form != hovrak::TUtf8Form::Ascii)) return false;
  const std::size_t first = bytes.find_first_of("\r\n");
  kind = first == std::string_view::npos || bytes[first] == '\n' ? TNewLineKind::Lf
         : first + 1 < bytes.size() && bytes[first + 1] == '\n' ? TNewLineKind::CrLf
                                                                : TNewLineKind::Cr;
  if (kind != TNewLineKind::CrLf) return true;
  for (std::size_t cr = first; cr != std::string_view::npos; cr = bytes.find('\r', cr + 1))
    if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') return false;
  return true;
}

bool TUtf8PlainSearch::SearchLines(std::string_view bytes, TNewLineKind kind,
                                   const TSearchedPattern<wchar_t>& pattern, TPlaceList<wchar_t>& list,
                                   const std::string& fileName) const {
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  typename TSearchedPattern<wchar_t>::TPlaceAddingInfo info;
  info.PlaceList = &list;
  info.FileName = fileName;
  std::wstring line;  // room reused from line to line
  bool found = false;
  std::size_t start = 0;  // a line start; info.LineBase is its line
  std::size_t end = 0;
  for (std::size_t p = Next(bytes, start, end); p != std::string_view::npos; p = Next(bytes, start, end)) {
    std::size_t lineStart = start;
    if (kind == TNewLineKind::Cr) {
      for (std::size_t i = start; i < p; ++i) {
        if (!IsBreak(data[i], kind)) continue;
        ++info.LineBase;
        lineStart = i + 1;
      }
    } else {
      info.LineBase += static_cast<unsigned>(hovrak::CountByte(data + start, p - start, '\n'));
      if (const void* lf = ::memrchr(data + start, '\n', p - start))
        lineStart = static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1;
    }
    std::size_t lineEnd = end;
    while (lineEnd < size && !IsBreak(data[lineEnd], kind)) ++lineEnd;
    line.resize(lineEnd - lineStart);
    line.resize(Decode(data + lineStart, lineEnd - lineStart, kind, &line[0]));
    if (pattern.FindPlaces(line, info)) found = true;
    if (lineEnd == size) break;
    start = lineEnd + 1;
    ++info.LineBase;
  }
  return found;
}

bool TUtf8PlainSearch::Search(std::string_view bytes, TNewLineKind kind, bool byLine, bool showLine,
                              TPlaceList<wchar_t>& list, const std::string& fileName) const {
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  const std::size_t context = TPlace<wchar_t>::ContextLength;
  const bool countLines = byLine || showLine;
  // Lines counted up to `scanned`: `line` breaks before it, the last line starting
  // at byte `lineStart`, `columnUnits` units from there to byte `columnAt`. Without
  // line numbers the column counts from the text start: `units` units (dropped CRs
  // not counted) lie before byte `unitsAt`.
  std::size_t scanned = 0, lineStart = 0, columnAt = 0, columnUnits = 0, unitsAt = 0, units = 0, lineEnd = 0;
  std::int32_t line = 0;
  wchar_t decoded[kContextBytes];  // a byte never gives more than one unit
  bool found = false;
  std::size_t hitEnd = 0;
  for (std::size_t p = Next(bytes, 0, hitEnd); p != std::string_view::npos; p = Next(bytes, hitEnd, hitEnd)) {
    found = true;
    const std::size_t m = hitEnd - p;
    std::int32_t column;
    if (countLines) {
      if (kind == TNewLineKind::Cr) {
        for (std::size_t i = scanned; i < p; ++i) {
          if (data[i] != '\n' && data[i] != '\r') continue;
          ++line;
          lineStart = i + 1;
        }
      } else {
        line += static_cast<std::int32_t>(hovrak::CountByte(data + scanned, p - scanned, '\n'));
        if (const void* lf = ::memrchr(data + scanned, '\n', p - scanned))
          lineStart = static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1;
      }
      scanned = p;
      // Columns count on from the last hit on the same line, so that a long line with
      // many hits is not counted again for each. A line holds no CR here: in a CR LF
      // file every CR ends a line.
      if (columnAt < lineStart) {
        columnAt = lineStart;
        columnUnits = 0;
      }
      columnUnits += hovrak::Utf16Length(data + columnAt, p - columnAt);
      columnAt = p;
      column = static_cast<std::int32_t>(columnUnits);
    } else {
      units += hovrak::Utf16Length(data + unitsAt, p - unitsAt);
      if (kind == TNewLineKind::CrLf) units -= hovrak::CountByte(data + unitsAt, p - unitsAt, '\r');
      unitsAt = p;
      column = static_cast<std::int32_t>(units);
    }

    // The searched text: one line, or the whole file. A line's end is looked for once,
    // on its first hit: a later hit before that end is on the same line.
    const std::size_t low = byLine ? lineStart : 0;
    if (byLine && lineEnd < p + m) {
      lineEnd = p + m;
      while (lineEnd < size && !IsBreak(data[lineEnd], kind)) ++lineEnd;
    }
    const std::size_t high = byLine ? lineEnd : size;

    std::size_t from = p - low > kContextBytes ? p - kContextBytes : low;
    while (from < p && (static_cast<unsigned char>(data[from]) & 0xC0) == 0x80) ++from;
    std::size_t n = Decode(data + from, p - from, kind, decoded);
    std::wstring prev(decoded + (n > context ? n - context : 0), decoded + n);

    const std::size_t after = p + m;
    std::size_t to = high - after > kContextBytes ? after + kContextBytes : high;
    while (to > after && to < high && (static_cast<unsigned char>(data[to]) & 0xC0) == 0x80) --to;
    n = Decode(data + after, to - after, kind, decoded);
    std::wstring next(decoded, std::min(n, context));

    if (!folded_) {
      list.Add(std::make_shared<TPlace<wchar_t>>(fileName, countLines ? line : 0, column, needle_,
                                                 std::move(prev), std::move(next)));
      continue;
    }
    // With case ignored the hit is the text as it stands, also its submatch 0.
    std::wstring hit(m, L'\0');
    hit.resize(Decode(data + p, m, kind, &hit[0]));
    auto place = std::make_shared<TPlace<wchar_t>>(fileName, countLines ? line : 0, column, hit,
                                                   std::move(prev), std::move(next));
    place->SubMatches.push_back(std::move(hit));
    list.Add(std::move(place));
  }
  return found;
}
