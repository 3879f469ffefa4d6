#include "cli/Colors.h"

#include <cstring>

TColors TColors::Default() {
  TColors c;
  c.Path = "\x1b[35m";     // magenta
  c.Line = "\x1b[32m";     // green
  c.Column = "\x1b[33m";   // yellow
  c.Match = "\x1b[1;31m";  // bold red
  c.DiffInfo = "\x1b[33m";
  c.DiffFile = "\x1b[1m";
  c.DiffHunk = "\x1b[36m";
  c.DiffRemoved = "\x1b[31m";
  c.DiffAdded = "\x1b[32m";
  c.DiffRemovedHit = "\x1b[1;7;31m";  // reversed: the hit stands out of its line
  c.DiffAddedHit = "\x1b[1;7;32m";
  c.Reset = "\x1b[0m";
  return c;
}

bool TColors::Wanted(TChoice choice, bool outputIsTerminal, const char* noColor, const char* term) {
  if (choice != TChoice::Auto) return choice == TChoice::Always;
  if (!outputIsTerminal) return false;
  if (noColor && *noColor) return false;
  return !(term && std::strcmp(term, "dumb") == 0);
}

void TColors::Paint(std::string& out, const std::string& color, std::string_view text) const {
  if (color.empty() || text.empty()) {
    out.append(text.data(), text.size());
    return;
  }
  out += color;
  out.append(text.data(), text.size());
  out += Reset;
}
