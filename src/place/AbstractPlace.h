#pragma once
// One hit of a search as every user of places sees it: file, line, column, length,
// the tick, and the hit's texts in the system code page.

#include <cstdint>
#include <memory>
#include <string>

#include "place/PlaceFile.h"

class TAbstractPlace {
 protected:
  // First, so that the small fields below end the base and a derived place can use
  // the room after them.
  std::shared_ptr<const TPlaceFile> file_;  // never null

 public:
  TAbstractPlace() : file_(NoFile()) {}
  virtual ~TAbstractPlace() = default;

  virtual std::string GetText() const = 0;      // the hit
  virtual std::string GetPrevText() const = 0;  // up to 100 units before the hit
  virtual std::string GetNextText() const = 0;  // up to 100 units after the hit
  // The context on the hit's own line: of the text before the hit, what follows its
  // last line feed; of the text after it, what precedes its first.
  virtual std::string GetPrevLineText() const {
    std::string text = GetPrevText();
    const std::size_t lastBreak = text.rfind('\n');
    return lastBreak == std::string::npos ? text : text.substr(lastBreak + 1);
  }
  virtual std::string GetNextLineText() const {
    std::string text = GetNextText();
    return text.substr(0, text.find('\n'));
  }

  // The places of one file share its name.
  const std::string& FileName() const { return file_->Name; }
  void SetFileName(std::string name) { file_ = std::make_shared<const TPlaceFile>(std::move(name)); }

  std::int32_t Line = 0;    // 0-based; line feeds before the hit
  std::int32_t Column = 0;  // 0-based code units from the start of the line
  std::int32_t Length = 0;  // code units
  bool Checked = true;      // ticked for replacement

 protected:
  static const std::shared_ptr<const TPlaceFile>& NoFile() {
    static const std::shared_ptr<const TPlaceFile> none = std::make_shared<const TPlaceFile>(std::string());
    return none;
  }
};
