#pragma once
// One self-rewriting progress line on a terminal: the kind of work, index/count and
// the current path, redrawn at most ten times a second and cut to the terminal width.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "shared/ProcessType.h"

class TProgressLine {
 public:
  using TClock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kInterval{100};

  // stream: the terminal (not owned); width: its columns.
  TProgressLine(std::FILE* stream, int width) : stream_(stream), width_(width) {}

  // The line of a run on stream (not owned), as wide as the terminal; none when the
  // run is quiet or stream is no terminal.
  static std::unique_ptr<TProgressLine> ForStream(std::FILE* stream, bool quiet);

  // Redraws the line unless the last redraw is less than kInterval before now.
  // True when the line was drawn.
  bool Update(TProcessType kind, const std::string& path, int index, int count, TClock::time_point now);
  bool Update(TProcessType kind, const std::string& path, int index, int count) {
    return Update(kind, path, index, count, TClock::now());
  }
  // Erases the line when one is shown, before other output goes to the terminal.
  void Clear();

  // The text of the line, at most width - 1 columns (a wide character takes two);
  // a path that does not fit loses its start.
  static std::string Text(TProcessType kind, const std::string& path, int index, int count, int width);

 private:
  std::FILE* stream_;
  int width_;
  bool shown_ = false;
  bool drawnOnce_ = false;
  TClock::time_point last_{};
};
