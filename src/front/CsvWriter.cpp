#include "front/CsvWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "front/DisplayBase.h"
#include "place/AbstractPlaceList.h"
#include "place/Place.h"
#include "place/PlaceBase.h"
#include "place/Utf16Cut.h"
#include "platform/AnsiCodePage.h"
#include "shared/MessageTable.h"

namespace {

std::string ToAnsi(const std::string& s) { return s; }
std::string ToAnsi(const std::wstring& s) { return hovrak::WideToAnsi(s); }

template <class S>
struct TAroundText {
  S Before;
  S Hit;
  S After;
};

// The context is cut in the place's own units before it becomes narrow text; a
// character that a cut splits is left out.
template <class C>
bool CutAround(const TAbstractPlace& place, std::size_t n, TAroundText<std::string>& out) {
  const auto* typed = dynamic_cast<const TPlaceBase<C>*>(&place);
  if (!typed) return false;
  const auto prev = typed->PrevText();
  auto before = prev.size() > n ? prev.substr(prev.size() - n) : prev;
  DropCutHalfAtFront(before);
  auto after = typed->NextText();
  after.erase(std::min(n, after.size()));
  DropCutHalfAtBack(after);
  out.Before = ToAnsi(before);
  out.Hit = ToAnsi(typed->Text());
  out.After = ToAnsi(after);
  return true;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The last n units of the text before a hit. Only the half of a pair that a cut
// split is left out: the cut at n, or the place's own cut when the text has its
// full length. Lone surrogates of the file itself stay.
std::wstring LastUnits(const std::wstring& prev, std::size_t n) {
  if (prev.size() > n) {
    std::size_t start = prev.size() - n;
    if (IsLowSurrogate(prev[start]) && IsHighSurrogate(prev[start - 1])) ++start;
    return prev.substr(start);
  }
  std::wstring text = prev;
  if (text.size() == TPlace<wchar_t>::ContextLength) DropCutHalfAtFront(text);
  return text;
}

// The first n units of the text after a hit, by the same rule.
std::wstring FirstUnits(const std::wstring& next, std::size_t n) {
  if (next.size() > n) {
    std::size_t end = n;
    if (end > 0 && IsHighSurrogate(next[end - 1]) && IsLowSurrogate(next[end])) --end;
    return next.substr(0, end);
  }
  std::wstring text = next;
  if (text.size() == TPlace<wchar_t>::ContextLength) DropCutHalfAtBack(text);
  return text;
}

TAroundText<std::string> NarrowAround(const TAbstractPlace& place, std::size_t n) {
  TAroundText<std::string> text;
  if (!CutAround<wchar_t>(place, n, text) && !CutAround<char>(place, n, text)) {
    text.Hit = place.GetText();
    text.Before = place.GetPrevText();
    text.After = place.GetNextText();
  }
  return text;
}

TAroundText<std::wstring> WideAround(const TAbstractPlace& place, std::size_t n) {
  TAroundText<std::wstring> text;
  if (const auto* wide = dynamic_cast<const TPlaceBase<wchar_t>*>(&place)) {
    text.Before = LastUnits(wide->PrevText(), n);
    text.Hit = wide->Text();
    text.After = FirstUnits(wide->NextText(), n);
    return text;
  }
  const TAroundText<std::string> narrow = NarrowAround(place, n);
  text.Before = hovrak::AnsiToWide(narrow.Before);
  text.Hit = hovrak::AnsiToWide(narrow.Hit);
  text.After = hovrak::AnsiToWide(narrow.After);
  return text;
}

template <class S>
S QuoteField(const S& field, const S& arrow) {
  using C = typename S::value_type;
  S text;
  if (field.find(C('\n')) == S::npos) {
    text = field;
  } else {
    text.reserve(field.size() + 8 * arrow.size());
    for (const C c : field) {
      if (c == C('\n')) text += arrow;
      else text += c;
    }
  }
  // A carriage return ends a record in CSV readers just as a line feed does: a field
  // holding one is quoted too.
  if (text.find(C(',')) == S::npos && text.find(C('"')) == S::npos && text.find(C('\r')) == S::npos) return text;
  S quoted(1, C('"'));
  for (const C c : text) {
    if (c == C('"')) quoted += C('"');
    quoted += c;
  }
  quoted += C('"');
  return quoted;
}

std::wstring Wide(const char* text) { return hovrak::AnsiToWide(std::string(text)); }

// Header and rows: a row for every ticked place.
template <class S, class HeaderF, class RowF>
S BuildAll(const TAbstractPlaceList* places, HeaderF header, RowF row) {
  S out = header();
  if (!places) return out;
  for (int i = 0; i < places->Count(); ++i) {
    const TAbstractPlace* place = places->Item(i);
    if (place && place->Checked) out += row(*place);
  }
  return out;
}

}  // namespace

std::size_t TCsvWriter::AroundUnits() const {
  return static_cast<std::size_t>(AroundLength < 0 ? DefaultAroundLength : AroundLength);
}

std::string TCsvWriter::Header() const {
  std::string out;
  if (File) out += std::string(MessageTable(TMsg::CsvFileName)) + ",";
  if (Line) out += std::string(MessageTable(TMsg::CsvLine)) + ",";
  if (Around) out += std::string(MessageTable(TMsg::CsvBefore)) + ",";
  if (Hit) out += std::string(MessageTable(TMsg::CsvHit)) + ",";
  if (Around) out += std::string(MessageTable(TMsg::CsvAfter)) + ",";
  return out + LineEnd;
}

std::string TCsvWriter::Row(const TAbstractPlace& place) const {
  TAroundText<std::string> text;
  if (Hit || Around) text = NarrowAround(place, AroundUnits());
  std::string out;
  if (File) out += Quote(hovrak::ShortenPath(place.FileName(), DisplayBase)) + ",";
  if (Line) out += std::to_string(static_cast<long long>(place.Line) + 1) + ",";
  if (Around) out += Quote(text.Before) + ",";
  if (Hit) out += Quote(text.Hit) + ",";
  if (Around) out += Quote(text.After) + ",";
  return out + LineEnd;
}

std::string TCsvWriter::Build(const TAbstractPlaceList* places) const {
  return BuildAll<std::string>(
      places, [this] { return Header(); }, [this](const TAbstractPlace& place) { return Row(place); });
}

std::wstring TCsvWriter::WideHeader() const {
  const std::wstring comma = L",";
  std::wstring out;
  if (File) out += Wide(MessageTable(TMsg::CsvFileName)) + comma;
  if (Line) out += Wide(MessageTable(TMsg::CsvLine)) + comma;
  if (Around) out += Wide(MessageTable(TMsg::CsvBefore)) + comma;
  if (Hit) out += Wide(MessageTable(TMsg::CsvHit)) + comma;
  if (Around) out += Wide(MessageTable(TMsg::CsvAfter)) + comma;
  return out + hovrak::AnsiToWide(LineEnd);
}

std::wstring TCsvWriter::WideRow(const TAbstractPlace& place) const {
  const std::wstring comma = L",";
  TAroundText<std::wstring> text;
  if (Hit || Around) text = WideAround(place, AroundUnits());
  std::wstring out;
  if (File) out += Quote(hovrak::AnsiToWide(hovrak::ShortenPath(place.FileName(), DisplayBase))) + comma;
  if (Line) {
    for (const char digit : std::to_string(static_cast<long long>(place.Line) + 1)) out += static_cast<wchar_t>(digit);
    out += comma;
  }
  if (Around) out += Quote(text.Before) + comma;
  if (Hit) out += Quote(text.Hit) + comma;
  if (Around) out += Quote(text.After) + comma;
  return out + hovrak::AnsiToWide(LineEnd);
}

std::wstring TCsvWriter::WideBuild(const TAbstractPlaceList* places) const {
  return BuildAll<std::wstring>(
      places, [this] { return WideHeader(); }, [this](const TAbstractPlace& place) { return WideRow(place); });
}

std::string TCsvWriter::Quote(const std::string& field) {
  static const std::string arrow = MessageTable(TMsg::LineFeedMark);
  return QuoteField(field, arrow);
}

std::wstring TCsvWriter::Quote(const std::wstring& field) {
  static const std::wstring arrow = Wide(MessageTable(TMsg::LineFeedMark));
  return QuoteField(field, arrow);
}

int TCsvWriter::ParseAroundLength(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  std::size_t digits = begin;
  if (digits < end && (text[digits] == '+' || text[digits] == '-')) ++digits;
  if (digits == end) return DefaultAroundLength;
  for (std::size_t i = digits; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return DefaultAroundLength;
  }
  const std::string number = text.substr(begin, end - begin);
  errno = 0;
  const long long value = std::strtoll(number.c_str(), nullptr, 10);
  if (errno == ERANGE || value < 0 || value > INT_MAX) return DefaultAroundLength;
  return static_cast<int>(value);
}
