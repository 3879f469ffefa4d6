#pragma once
// Builds the CSV text of a result list: a header row of column captions, then one
// row per place, every field followed by "," and line feeds in fields shown as "↓ ".
// Shared by the result-saving dialog and the command-line front end.

#include <string>

class TAbstractPlace;

class TCsvWriter {
 public:
  bool File = true;    // the place's file name
  bool Line = true;    // line number, 1-based
  bool Hit = false;    // the hit
  bool Around = false; // text before and after the hit
  // Characters of text kept before and after the hit: UTF-16 units for wide places,
  // bytes for narrow ones.
  int AroundLength = 30;
  // "\n" when the text goes through a text file's saving, "\r\n" when copying.
  std::string LineEnd = "\r\n";

  // The captions of the chosen columns, each followed by ",", then the line end.
  std::string Header() const;
  // One place's row, in the system code page for wide places and in the file's own
  // bytes for narrow ones.
  std::string Row(const TAbstractPlace& place) const;

  // A line feed becomes "↓ "; then a field holding "," or a double quote is wrapped
  // in double quotes with the inner quotes doubled.
  static std::string Quote(const std::string& field);
};
