#pragma once
// Places summed up per file: PATH:COUNT lines (--count) or the names alone of the
// files with a place (--files-with-matches), in search order.

#include "cli/Colors.h"
#include "cli/PlaceFormat.h"

class TCountFormat : public TPlaceFormat {
 public:
  // namesOnly: the file names without counts. forTerminal: paths escaped.
  TCountFormat(bool namesOnly, bool forTerminal, TColors colors)
      : namesOnly_(namesOnly), forTerminal_(forTerminal), colors_(std::move(colors)) {}

  bool WantsFiles() const override { return true; }
  void FileBegin(const std::string& path, const TFileFacts* facts, std::string& out) override;
  void Place(const TAbstractPlace& place, std::string& out) override;
  void FileEnd(std::string& out) override;

 private:
  bool namesOnly_;
  bool forTerminal_;
  TColors colors_;
  std::string path_;
  long long count_ = 0;
};
