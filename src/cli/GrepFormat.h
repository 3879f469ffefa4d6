#pragma once
// Places as PATH:LINE:COLUMN:TEXT lines, as grep -n prints them with a column: LINE
// and COLUMN 1-based, TEXT the line of the hit (the context from the last line feed
// before it to the first after it) with line feeds inside the hit written as "↓ ".

#include "cli/Colors.h"
#include "cli/PlaceFormat.h"

class TGrepFormat : public TPlaceFormat {
 public:
  // forTerminal: PATH and TEXT go through EscapeForTerminal (TEXT keeps its tabs).
  // colors: path, line, column and hit in their colours (TColors::Off for none).
  TGrepFormat(bool forTerminal, TColors colors) : forTerminal_(forTerminal), colors_(std::move(colors)) {}

  void Place(const TAbstractPlace& place, std::string& out) override { Append(place, forTerminal_, colors_, out); }

  // The line of one place, with its line feed, appended to out.
  static void Append(const TAbstractPlace& place, bool forTerminal, const TColors& colors, std::string& out);

 private:
  bool forTerminal_;
  TColors colors_;
};
