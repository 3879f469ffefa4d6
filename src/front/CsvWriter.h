#pragma once
// Builds the CSV text of a result list: a header row of column captions, then one
// row per place, every field followed by "," and line feeds in fields shown as "↓ ".
// Shared by the result-saving dialog and the command-line front end. The narrow
// form gives bytes (UTF-8 for wide places, the files' own bytes for narrow ones);
// the wide form gives UTF-16 units and keeps every unit of wide places.

#include <string>

class TAbstractPlace;
class TAbstractPlaceList;

class TCsvWriter {
 public:
  // The count of characters before and after the hit when none or a negative one
  // is given.
  static constexpr int DefaultAroundLength = 30;

  bool File = true;     // the place's file name
  bool Line = true;     // line number, 1-based
  bool Hit = false;     // the hit
  bool Around = false;  // text before and after the hit
  // Characters of text kept before and after the hit: UTF-16 units for wide places,
  // bytes for narrow ones. A negative count stands for 30.
  int AroundLength = DefaultAroundLength;
  // "\n" when the text goes through a text file's saving, "\r\n" when copying.
  std::string LineEnd = "\r\n";
  // The file column is shown relative to this folder, as the result window shows
  // it; "" keeps the paths whole.
  std::string DisplayBase;

  // The captions of the chosen columns, each followed by ",", then the line end.
  std::string Header() const;
  // One place's row, in the system code page for wide places and in the file's own
  // bytes for narrow ones.
  std::string Row(const TAbstractPlace& place) const;
  // The header, then a row for each ticked place of the list in list order (no
  // list: the header alone).
  std::string Build(const TAbstractPlaceList* places) const;

  // The same in UTF-16 units: captions, separators, line ends and file names
  // converted from the system code page, the texts of wide places taken unit for
  // unit (NULs and lone surrogates included).
  std::wstring WideHeader() const;
  std::wstring WideRow(const TAbstractPlace& place) const;
  std::wstring WideBuild(const TAbstractPlaceList* places) const;

  // A line feed becomes "↓ "; then a field holding ",", a double quote or a
  // carriage return is wrapped in double quotes with the inner quotes doubled.
  static std::string Quote(const std::string& field);
  static std::wstring Quote(const std::wstring& field);

  // The count as typed: a decimal integer, blanks around it allowed. Anything else,
  // a negative value and a value too large for an int give 30.
  static int ParseAroundLength(const std::string& text);

 private:
  std::size_t AroundUnits() const;
};
