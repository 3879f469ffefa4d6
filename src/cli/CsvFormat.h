#pragma once
// Places as CSV rows built by the result-saving dialog's own writer: a header row of
// the chosen columns, then one row per place, the bytes as they are.

#include <memory>

#include "cli/PlaceFormat.h"
#include "front/CsvWriter.h"

class TCsvFormat : public TPlaceFormat {
 public:
  explicit TCsvFormat(TCsvWriter writer) : writer_(std::move(writer)) {}

  void Begin(std::string& out) override { out += writer_.Header(); }
  void Place(const TAbstractPlace& place, std::string& out) override { out += writer_.Row(place); }

 private:
  TCsvWriter writer_;
};
