#pragma once
// One run of mirun-cli from its arguments to its exit status: reads the settings,
// searches through the core, prints the places, replaces on request, reports to
// stderr and writes back the backup index when it changed.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace hovrak {
struct TRecoveredSave;
}

class TCliRun {
 public:
  // Exit statuses.
  static constexpr int kFound = 0;
  static constexpr int kNotFound = 1;
  static constexpr int kError = 2;
  static constexpr int kInterrupted = 130;
  // The reader of the output went away (128 + SIGPIPE, as a shell reports a
  // process that a closed pipe ended).
  static constexpr int kOutputClosed = 141;

  // out, err: the standard streams (not owned); stopFlag: set by the SIGINT handler.
  TCliRun(std::FILE* out, std::FILE* err, const volatile std::sig_atomic_t* stopFlag)
      : out_(out), err_(err), stopFlag_(stopFlag) {}

  int Run(const std::vector<std::string>& args);

  // True when text is well-formed UTF-8 (no overlong forms, no surrogates).
  static bool IsValidUtf8(const std::string& text);

  // Says on err what is wrong with the command line and where help is; returns kError.
  static int UsageError(std::FILE* err, const std::string& message);

 private:
  // Says on stderr what tidying up after a killed run did.
  void TellRecovered(const std::vector<hovrak::TRecoveredSave>& recovered) const;

  std::FILE* out_;
  std::FILE* err_;
  const volatile std::sig_atomic_t* stopFlag_;
};
