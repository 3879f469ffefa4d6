#include "pattern/Utf8PlainSearch.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "pattern/PlaceSharing.h"
#include "pattern/SearchedPattern.h"
#include "pattern/SkipLines.h"
#include "pattern/VectorScan.h"
#include "place/Place.h"
#include "text/Conversions.h"
#include "text/Utf8Context.h"
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

}  // namespace

TUtf8PlainSearch::TUtf8PlainSearch(const std::wstring& needle, bool ignoreCase, bool prefilterOnly)
    : needle_(needle),
      finder_(EncodeNeedle(needle)),
      usable_(!finder_.Needle().empty()),
      prefilterOnly_(prefilterOnly) {
  if (ignoreCase && usable_) {
    folded_ = std::make_unique<TUtf8FoldedFinder>(needle, TCaseFold::OfGlobalLocale());
    usable_ = folded_->Usable();
  }
}

std::unique_ptr<TUtf8PlainSearch> TUtf8PlainSearch::Make(const std::wstring& needle, bool ignoreCase,
                                                         bool prefilterOnly) {
  auto search = std::make_unique<TUtf8PlainSearch>(needle, ignoreCase, prefilterOnly);
  if (!search->Usable()) return nullptr;
  return search;
}

std::size_t TUtf8PlainSearch::Next(std::string_view bytes, std::size_t from, std::size_t& end) const {
  if (folded_) return folded_->Find(bytes, from, end);
  const std::size_t p = finder_.Find(bytes, from);
  end = p + finder_.Needle().size();
  return p;
}

bool TUtf8PlainSearch::CanSearch(std::string_view bytes, bool asciiOnly, TNewLineKind& kind, bool wellFormed) {
  const hovrak::TUtf8Form form =
      wellFormed ? hovrak::TUtf8Form::Utf8 : hovrak::ClassifyUtf8(bytes.data(), bytes.size());
  if (form == hovrak::TUtf8Form::Malformed || (asciiOnly && form != hovrak::TUtf8Form::Ascii)) return false;
  const std::size_t first = bytes.find_first_of("\r\n");
  kind = first == std::string_view::npos || bytes[first] == '\n' ? TNewLineKind::Lf
         : first + 1 < bytes.size() && bytes[first + 1] == '\n'  ? TNewLineKind::CrLf
                                                                 : TNewLineKind::Cr;
  if (kind != TNewLineKind::CrLf) return true;
  for (std::size_t cr = first; cr != std::string_view::npos; cr = bytes.find('\r', cr + 1))
    if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') return false;
  return true;
}

bool TUtf8PlainSearch::SearchLines(std::string_view bytes, TNewLineKind kind, const TSearchedPattern<wchar_t>& pattern,
                                   TPlaceList<wchar_t>& list, const std::string& fileName) const {
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
    const std::size_t lineStart = hovrak::SkipLines(data, start, p, kind == TNewLineKind::Cr, info.LineBase, start);
    const std::size_t lineEnd = hovrak::LineEnd(data, end, size, kind == TNewLineKind::Cr);
    line.resize(lineEnd - lineStart);
    line.resize(hovrak::DecodeUtf8Units(data + lineStart, lineEnd - lineStart, kind, &line[0]));
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
  TPlaceSharing<wchar_t> sharing;
  sharing.SetBytes(bytes, kind);
  bool found = false;
  std::size_t hitEnd = 0;
  for (std::size_t p = Next(bytes, 0, hitEnd); p != std::string_view::npos; p = Next(bytes, hitEnd, hitEnd)) {
    found = true;
    const std::size_t m = hitEnd - p;
    std::int32_t column;
    if (countLines) {
      lineStart = hovrak::SkipLines(data, scanned, p, kind == TNewLineKind::Cr, line, lineStart);
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
      lineEnd = hovrak::LineEnd(data, p + m, size, kind == TNewLineKind::Cr);
    }
    const std::size_t high = byLine ? lineEnd : size;

    const std::size_t after = p + m;
    // At most a unit a byte: what the copies of this place would hold.
    const std::size_t copyUnits = std::min(p - low, context) + m + std::min(high - after, context);
    if (sharing.ShareNext(fileName, !list.MayBorrow(), copyUnits)) {
      list.Add(std::make_shared<TPlace<wchar_t>>(
          sharing.Shared(), countLines ? line : 0, column,
          static_cast<std::int32_t>(folded_ ? hovrak::Utf16Length(data + p, m) : needle_.size()), p, after, low, high,
          std::vector<std::wstring>{}, folded_ != nullptr));
      continue;
    }
    std::wstring prev = hovrak::Utf8ContextBefore(bytes, low, p, kind, context);
    std::wstring next = hovrak::Utf8ContextAfter(bytes, after, high, kind, context);
    // With case ignored the hit is the text as it stands, also its submatch 0.
    const std::wstring hit = folded_ ? hovrak::DecodeUtf8Units(bytes.substr(p, m), kind) : std::wstring();
    list.Add(std::make_shared<TPlace<wchar_t>>(sharing.File(fileName), countLines ? line : 0, column,
                                               folded_ ? std::wstring_view(hit) : std::wstring_view(needle_), prev,
                                               next, std::vector<std::wstring>{}, folded_ != nullptr));
  }
  return found;
}
