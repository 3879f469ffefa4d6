#pragma once
// Writes the places of a search to the standard output as they arrive, as
// PATH:LINE:COLUMN:TEXT lines or as CSV, and notices when the reader has gone away.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "core/CsvWriter.h"

class TAbstractPlace;

class TPlaceOutput {
 public:
  // csv: null for grep lines. The stream is not owned. terminal: the stream is a
  // terminal, so grep lines show control characters escaped (CSV stays byte-exact).
  TPlaceOutput(std::FILE* stream, std::unique_ptr<TCsvWriter> csv, bool terminal = false);

  // The CSV header row; nothing for grep lines.
  bool Begin();
  // Writes one place; false when the output can no longer be written.
  bool Write(const TAbstractPlace& place);
  // Pushes buffered lines out when some wait and enough time has passed since the
  // last push, so that a reader sees places while the run goes on.
  bool FlushSometimes();
  bool Flush();
  // The output was closed by its reader (EPIPE) or failed otherwise.
  bool Closed() const { return closed_; }
  bool Broken() const { return broken_; }
  // The errno of the failed write.
  int Error() const { return error_; }

  // PATH:LINE:COLUMN:TEXT with a line feed: LINE and COLUMN 1-based, TEXT the line
  // of the hit (the context from the last line feed before it to the first after
  // it) with line feeds inside the hit written as "↓ ". forTerminal: PATH and TEXT
  // go through EscapeForTerminal (TEXT keeps its tabs).
  static std::string GrepLine(const TAbstractPlace& place, bool forTerminal = false);

 private:
  bool Put(const std::string& bytes);
  void NoteError();

  std::FILE* stream_;
  std::unique_ptr<TCsvWriter> csv_;
  bool terminal_;
  bool pending_ = false;
  bool closed_ = false;
  bool broken_ = false;
  int error_ = 0;
  std::chrono::steady_clock::time_point lastFlush_;
};
