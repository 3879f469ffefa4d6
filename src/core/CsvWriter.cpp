#include "core/CsvWriter.h"

#include <algorithm>

#include "core/MessageTable.h"
#include "core/PlaceBase.h"
#include "core/Utf16Cut.h"
#include "platform/AnsiCodePage.h"

namespace {

std::string ToAnsi(const std::string& s) { return s; }
std::string ToAnsi(const std::wstring& s) { return hovrak::WideToAnsi(s); }

struct TAroundText {
  std::string Before;
  std::string Hit;
  std::string After;
};

// The context is cut in the place's own units before it becomes narrow text; a
// character that a cut splits is left out.
template <class C>
bool CutAround(const TAbstractPlace& place, std::size_t n, TAroundText& out) {
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

}  // namespace

std::string TCsvWriter::Header() const {
  std::string out;
  if (File) out += std::string(MessageTable(87)) + ",";
  if (Line) out += std::string(MessageTable(88)) + ",";
  if (Around) out += std::string(MessageTable(95)) + ",";
  if (Hit) out += std::string(MessageTable(89)) + ",";
  if (Around) out += std::string(MessageTable(96)) + ",";
  return out + LineEnd;
}

std::string TCsvWriter::Row(const TAbstractPlace& place) const {
  TAroundText text;
  if (Hit || Around) {
    const std::size_t n = static_cast<std::size_t>(std::max(AroundLength, 0));
    if (!CutAround<wchar_t>(place, n, text) && !CutAround<char>(place, n, text)) {
      text.Hit = place.GetText();
      text.Before = place.GetPrevText();
      text.After = place.GetNextText();
    }
  }
  std::string out;
  if (File) out += Quote(place.FileName()) + ",";
  if (Line) out += std::to_string(static_cast<long long>(place.Line) + 1) + ",";
  if (Around) out += Quote(text.Before) + ",";
  if (Hit) out += Quote(text.Hit) + ",";
  if (Around) out += Quote(text.After) + ",";
  return out + LineEnd;
}

std::string TCsvWriter::Quote(const std::string& field) {
  const std::string arrow = MessageTable(32);
  std::string text;
  text.reserve(field.size());
  for (const char c : field) {
    if (c == '\n') text += arrow;
    else text += c;
  }
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}
