#pragma once
// The texts one row of the result list shows for a place, in UTF-8: the hit with
// its line feeds made visible, the context on the hit's own line, the file relative
// to the display base and the line number. No widgets.

#include <string>

class TAbstractPlace;

struct TPlaceRowTexts {
  std::string Hit;   // line feeds as "↓ ", tabs as spaces
  std::string Prev;  // what precedes the hit after its last line feed
  std::string Next;  // what follows the hit up to its first line feed
  std::string File;  // relative to the display base
  std::string Line;  // 1-based; empty when line numbers are not shown

  // narrow: the place holds a file's raw bytes (ASCII mode), shown decoded as
  // UTF-8 when they are, else as code page 932.
  static TPlaceRowTexts Make(const TAbstractPlace& place, bool narrow, const std::string& displayBase, bool showLine);
  // The bytes of a narrow text for the screen. Context is cut at a byte count, so it
  // may begin or end inside a UTF-8 character: those stray bytes are dropped when
  // the rest then reads as UTF-8, so one cut character does not turn the whole
  // context into code page 932.
  static std::string DisplayNarrow(const std::string& bytes);
  // A hit, or what replaces it, as one row shows it: line feeds as "↓ ", tabs as
  // spaces; narrow texts through DisplayNarrow.
  static std::string ShownHit(const std::string& text, bool narrow);
};
