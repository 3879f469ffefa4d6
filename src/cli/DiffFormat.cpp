#include "cli/DiffFormat.h"

#include "cli/TerminalText.h"
#include "cli/UnifiedDiff.h"

namespace {

// "-3,2": a 1-based start and a count (the count left out when it is 1; an empty
// range starts at the line before it, as diff writes it).
std::string Range(std::size_t start, std::size_t count) {
  std::string text = std::to_string(count == 0 ? start : start + 1);
  if (count != 1) text += "," + std::to_string(count);
  return text;
}

void AppendShown(std::string& out, std::string_view text, bool forTerminal) {
  if (forTerminal) out += EscapeForTerminal(text, true);
  else out.append(text.data(), text.size());
}

}  // namespace

bool TDiffFormat::Append(const TTextChange& change, std::size_t context, bool forTerminal, const TColors& colors,
                         std::string& out) {
  const std::vector<TDiffHunk> hunks = TUnifiedDiff::Hunks(change, context);
  if (hunks.empty()) return false;
  const std::string path = forTerminal ? EscapeForTerminal(change.Path) : change.Path;
  colors.Paint(out, colors.DiffInfo, std::string("# ") + change.Facts.CodeName() + ", " + change.Facts.LineEndName());
  out += '\n';
  colors.Paint(out, colors.DiffFile, "--- a/" + path);
  out += '\n';
  colors.Paint(out, colors.DiffFile, "+++ b/" + path);
  out += '\n';
  for (const TDiffHunk& hunk : hunks) {
    colors.Paint(
        out, colors.DiffHunk,
        "@@ -" + Range(hunk.BeforeStart, hunk.BeforeCount) + " +" + Range(hunk.AfterStart, hunk.AfterCount) + " @@");
    out += '\n';
    for (const TDiffLine& line : hunk.Lines) {
      const std::string& lineColor = line.Kind == '-'   ? colors.DiffRemoved
                                     : line.Kind == '+' ? colors.DiffAdded
                                                        : std::string();
      const std::string& hitColor = line.Kind == '-' ? colors.DiffRemovedHit : colors.DiffAddedHit;
      if (!lineColor.empty()) out += lineColor;
      out += line.Kind;
      std::size_t at = 0;
      for (const auto& [from, to] : line.Marks) {
        AppendShown(out, line.Text.substr(at, from - at), forTerminal);
        if (colors.On()) out += hitColor;
        AppendShown(out, line.Text.substr(from, to - from), forTerminal);
        if (colors.On()) {
          out += colors.Reset;
          if (to < line.Text.size()) out += lineColor;
        }
        at = to;
      }
      if (at < line.Text.size() || line.Marks.empty()) {
        AppendShown(out, line.Text.substr(at), forTerminal);
        if (!lineColor.empty()) out += colors.Reset;
      }
      out += '\n';
      if (line.NoLineEnd) out += "\\ No newline at end of file\n";
    }
  }
  return true;
}
