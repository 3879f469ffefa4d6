#pragma once
// One search of mirun-cli, with the replace or its dry run that may follow, phase by
// phase: the targets, the settings and the entered texts checked, the output and the
// core's callbacks set up, the search, the replace, and what the run did said on
// stderr. Each phase that ends the run gives its exit status.

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "cli/Colors.h"
#include "cli/PlaceFormat.h"
#include "cli/SkipReport.h"
#include "core/MirunApp.h"
#include "settings/Serializer.h"
#include "settings/SettingsFile.h"

class TCliCommandLine;
class TPlaceOutput;
class TProgressLine;
class TSettingsBackupIndex;

class TCliSearchRun {
 public:
  // command: the parsed command line (not owned, outlives the run); out, err: the
  // standard streams (not owned); stopFlag: set by the SIGINT handler.
  TCliSearchRun(const TCliCommandLine& command, std::FILE* out, std::FILE* err,
                const volatile std::sig_atomic_t* stopFlag);
  ~TCliSearchRun();

  // The whole run; returns the exit status.
  int Run();

 private:
  using TStatus = std::optional<int>;  // the exit status of a phase that ends the run

  // Files, or exactly one folder.
  TStatus CheckTargets() const;
  // The settings file, and the command line's options over it.
  TStatus ReadSettings();
  // A wide run takes the entered texts as UTF-8.
  TStatus CheckTexts() const;
  // The format of the places, the output and the progress line.
  void MakeOutput();
  // The core's callbacks: progress, places, file errors, what is passed over, the
  // backup questions.
  void InstallCallbacks();
  // What --detect and --json take from each file read.
  void InstallFileRead();
  // The search or --detect; the status unless a replace follows.
  TStatus Search();
  // Every place found replaced, or the diff of its dry run written.
  int Replace();
  // The status and the summary of the replace or its dry run.
  int TellReplace(int outcome, const std::string& failure, const std::set<std::string>& files);
  // Every file that was not rewritten, and the backup units pruned.
  int TellFailures(int outcome, int status) const;
  // A stopped or failed output after a phase wrote to it.
  TStatus OutputStatus() const;

  int Fail(const std::string& text) const;
  void ClearProgress() const;
  // Stops the run (by EStoppedException) on a SIGINT or an output that failed.
  void CheckStop() const;

  const TCliCommandLine& command_;
  std::FILE* out_;
  std::FILE* err_;
  const volatile std::sig_atomic_t* stopFlag_;

  TMirunApp app_;
  TSerializer serializer_;
  std::unique_ptr<TSettingsFile> settings_;
  TColors colors_;
  bool forTerminal_ = false;
  std::unique_ptr<TPlaceOutput> output_;
  std::unique_ptr<TProgressLine> progress_;
  // The progress line shares its terminal with the output, which clears it first.
  bool outIsTerminal_ = false;

  bool replacing_ = false;
  bool aborted_ = false;
  int unreadable_ = 0;             // files a search could not read
  std::set<std::string> visited_;  // files the replace came to
  std::size_t changed_ = 0;        // files a dry run shows as changed
  std::string line_;               // one line of --detect, in room reused
  std::string diff_;               // one file's diff, in room reused
  TSearchTotals totals_;           // for the JSON summary
  TFileFacts readFacts_;           // of the file being read, for JSON
  TSkipReport passedOver_;         // what the run passed over
  // The backup index a replace changes; after app_, so that it goes first.
  std::unique_ptr<TSettingsBackupIndex> index_;
};
