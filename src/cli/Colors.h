#pragma once
// The colours of mirun-cli's output on a terminal (SGR escape sequences), and when
// to use them: --color auto|always|never, auto meaning a terminal without NO_COLOR.

#include <string>
#include <string_view>

struct TColors {
  enum class TChoice { Auto, Always, Never };

  // Empty strings when colours are off.
  std::string Path, Line, Column, Match;
  // The unified diff of --dry-run: the code line, the file lines, the @@ lines, the
  // removed and added lines and the hits within them.
  std::string DiffInfo, DiffFile, DiffHunk, DiffRemoved, DiffAdded, DiffRemovedHit, DiffAddedHit;
  std::string Reset;

  bool On() const { return !Reset.empty(); }

  static TColors Off() { return TColors(); }
  static TColors Default();

  // Whether to colour: always and never as they say; auto when the output is a
  // terminal, NO_COLOR is unset or empty and TERM is not "dumb".
  static bool Wanted(TChoice choice, bool outputIsTerminal, const char* noColor, const char* term);

  // text wrapped in color and Reset (text alone when color is empty), appended.
  void Paint(std::string& out, const std::string& color, std::string_view text) const;
};
