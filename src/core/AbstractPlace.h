#pragma once
// One hit of a search as every user of places sees it: file, line, column, length,
// the tick, and the hit's texts in the system code page.

#include <cstdint>
#include <string>

class TAbstractPlace {
 public:
  virtual ~TAbstractPlace() = default;

  virtual std::string GetText() const = 0;      // the hit
  virtual std::string GetPrevText() const = 0;  // up to 100 units before the hit
  virtual std::string GetNextText() const = 0;  // up to 100 units after the hit

  std::string FileName;
  std::int32_t Line = 0;    // 0-based; line feeds before the hit
  std::int32_t Column = 0;  // 0-based code units from the start of the line
  std::int32_t Length = 0;  // code units
  bool Checked = true;      // ticked for replacement
};
