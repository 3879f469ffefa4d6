#pragma once
// Writes the places of a search to the standard output as they arrive, in one
// TPlaceFormat, tells the format where each file's places begin and end, and
// notices when the reader has gone away.

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "cli/PlaceFormat.h"

class TAbstractPlace;

class TPlaceOutput {
 public:
  // The stream is not owned.
  TPlaceOutput(std::FILE* stream, std::unique_ptr<TPlaceFormat> format);

  // The facts of the file whose places are arriving, for a format that wants them.
  std::function<TFileFacts()> FactsOfCurrentFile;

  // The format's opening text (the CSV header).
  bool Begin();
  // Writes one place; false when the output can no longer be written.
  bool Write(const TAbstractPlace& place);
  // Writes text as it is (what is not a place: a diff, a line of --detect).
  bool WriteText(const std::string& text);
  // Ends the last file and writes the format's closing text.
  bool End(const TSearchTotals& totals);
  // Pushes buffered lines out when some wait and enough time has passed since the
  // last push, so that a reader sees places while the run goes on.
  bool FlushSometimes();
  bool Flush();
  // The output was closed by its reader (EPIPE) or failed otherwise.
  bool Closed() const { return closed_; }
  bool Broken() const { return broken_; }
  // The errno of the failed write.
  int Error() const { return error_; }

 private:
  bool Put();
  void NoteError();

  std::FILE* stream_;
  std::unique_ptr<TPlaceFormat> format_;
  const bool wantsFiles_;
  std::string text_;  // what one call writes, in room reused from call to call
  // The file whose places came last.
  std::string fileName_;
  bool inFile_ = false;
  bool pending_ = false;
  bool closed_ = false;
  bool broken_ = false;
  int error_ = 0;
  std::chrono::steady_clock::time_point lastFlush_;
};
