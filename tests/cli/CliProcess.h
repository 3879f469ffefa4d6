#pragma once
// Runs the built mirun-cli as a child process on real files: captures stdout,
// stderr and the exit status, and can interrupt it or close its output midway.

#include <string>
#include <vector>

struct TCliResult {
  int Status = -1;  // exit status; 1000 + signal number when a signal ended it
  std::string Out;
  std::string Err;
};

struct TCliOptions {
  std::string Home;              // MIRUN_HOME of the child; empty: the test's own
  std::string WorkDir;           // working folder of the child; empty: unchanged
  long InterruptAfterOut = -1;   // send SIGINT once this many stdout bytes arrived
  long InterruptAfterErr = -1;   // the same for stderr
  long CloseOutAfter = -1;       // close the read end of stdout after this many bytes
  bool ErrOnTerminal = false;    // stderr is a pseudo-terminal
  bool OutOnTerminal = false;    // stdout is a pseudo-terminal of its own, in raw mode
  std::string OutFile;           // stdout goes to this file instead of a pipe
  bool SmallPipes = false;       // one page per pipe, so the child soon waits for us
  long long FileSizeLimit = -1;  // RLIMIT_FSIZE of the child in bytes; -1: unchanged
  // More NAME=VALUE entries for the child's environment; NO_COLOR and TERM are never
  // taken from the test's own.
  std::vector<std::string> Environment;
};

TCliResult RunCli(const std::vector<std::string>& args, const TCliOptions& options = {});
