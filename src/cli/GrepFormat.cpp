#include "cli/GrepFormat.h"

#include <charconv>

#include "cli/TerminalText.h"
#include "place/AbstractPlace.h"
#include "shared/MessageTable.h"

namespace {

void AppendNumber(std::string& out, long long n, const std::string& color, const TColors& colors) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  colors.Paint(out, color, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// Text as it is, or escaped for a terminal.
void AppendShown(std::string& out, std::string_view text, bool forTerminal, bool keepTab) {
  if (forTerminal) out += EscapeForTerminal(text, keepTab);
  else out.append(text.data(), text.size());
}

}  // namespace

void TGrepFormat::Append(const TAbstractPlace& place, bool forTerminal, const TColors& colors, std::string& out) {
  if (colors.Path.empty()) {
    AppendShown(out, place.FileName(), forTerminal, false);
  } else {
    out += colors.Path;
    AppendShown(out, place.FileName(), forTerminal, false);
    out += colors.Reset;
  }
  out += ':';
  AppendNumber(out, static_cast<long long>(place.Line) + 1, colors.Line, colors);
  out += ':';
  AppendNumber(out, static_cast<long long>(place.Column) + 1, colors.Column, colors);
  out += ':';
  AppendShown(out, place.GetPrevLineText(), forTerminal, true);
  std::string hit = place.GetText();
  if (hit.find('\n') != std::string::npos) {
    std::string shown;
    shown.reserve(hit.size() + 8);
    for (const char c : hit) {
      if (c == '\n') shown += MessageTable(TMsg::LineFeedMark);
      else shown += c;
    }
    hit.swap(shown);
  }
  if (!colors.Match.empty()) out += colors.Match;
  AppendShown(out, hit, forTerminal, true);
  if (!colors.Match.empty()) out += colors.Reset;
  AppendShown(out, place.GetNextLineText(), forTerminal, true);
  out += '\n';
}
