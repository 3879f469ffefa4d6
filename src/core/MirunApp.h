#pragma once
// The application core: runs a search and a replace from start to end, owns the
// options, the backup store and the results of the last search, and reports to the
// front end only through callbacks.

#include <memory>
#include <string>
#include <vector>

#include <boost/function.hpp>

#include "core/FileSet.h"
#include "pattern/AbstractReplacingPattern.h"
#include "place/AbstractPlaceList.h"
#include "shared/Decision.h"
#include "shared/ProcessType.h"
#include "shared/StringVector.h"

class TOption;
class TBackup;

// Outcome codes of TMirunApp::Search.
enum TSearchOutcome : int {
  SearchCompleted = 0,
  SearchInvalidPattern = 1,
  SearchNoTargetFiles = 2,
  SearchStopped = 3,
  SearchFailed = 4,  // assigned by the caller when Search lets an exception out
};

// Outcome codes of TMirunApp::Replace.
enum TReplaceOutcome : int {
  ReplaceCompleted = 0,
  ReplaceStopped = 1,
  // The backup was incomplete and the user did not agree to go on: nothing written.
  ReplaceBackupFailed = 2,
};

class TMirunApp {
 public:
  TMirunApp();
  ~TMirunApp();
  TMirunApp(const TMirunApp&) = delete;
  TMirunApp& operator=(const TMirunApp&) = delete;

  // Results of the last search; null before the first one.
  std::unique_ptr<TAbstractPlaceList> PlaceList;
  std::unique_ptr<TFileSet> FileSet;
  std::unique_ptr<TOption> Option;
  std::unique_ptr<TBackup> Backup;

  // Called for every place appended to the place list; may be empty.
  boost::function<void(TAbstractPlace*)> OnPlaceAdded;
  // False: the next search hands each place to OnPlaceAdded and keeps none (its
  // list stays empty, its Added counts them), for a search no replace follows.
  bool KeepPlaces = true;
  // Progress; the handler may raise EStoppedException to stop the run.
  TProcessEvent OnProcess;
  // Asks what to do with a file that failed a check; empty answers Skip.
  TFileErrorEvent OnFileError;
  // Asks whether to go on when a copy of the backup (or the index) could not be made;
  // empty answers no, and no file is rewritten.
  boost::function<bool(const TBackupReport&)> OnBackupFailed;
  // Told of the files a search passes over for their size and of the folders and
  // paths its listing cannot read; may be empty.
  TSkippedEvent OnSkipped;
  // Told of each file a search or Detect has read and the code it reads it in;
  // may be empty.
  TFileReadEvent OnFileRead;

  // Lists the files (a folder as first path: its filtered files; otherwise the paths
  // as given), compiles text and searches every file. Returns a TSearchOutcome;
  // exceptions other than a stop or an invalid pattern pass on.
  int Search(const TStringVector& paths, const TStringVector& filters, const std::string& text);

  // Lists the files as Search does and reads each, telling OnFileRead which code it
  // is read in; searches nothing. Returns SearchCompleted, SearchNoTargetFiles or
  // SearchStopped.
  int Detect(const TStringVector& paths, const TStringVector& filters);

  // Replaces the ticked places of the last search. Returns a TReplaceOutcome.
  int Replace(const std::string& replacement);
  // The same replace writing nothing and backing nothing up: every check and
  // question of Replace, and each file that would be written handed to onChange as
  // the text it would hold. Returns ReplaceCompleted or ReplaceStopped.
  int PreviewReplace(const std::string& replacement, const TTextChangeEvent& onChange);
  std::unique_ptr<TAbstractReplacingPattern> MakeReplacingPattern(const std::string& replacement) const;
  // What place index of the list would be replaced with, in UTF-8.
  std::string PreviewReplacement(int index, const std::string& replacement) const;
  // The same for many places, the pattern compiled once; "" for an index outside
  // the list.
  std::vector<std::string> PreviewReplacements(const std::vector<int>& indices, const std::string& replacement) const;

 private:
  // Whether the run's patterns and places are wide: those of the last search, or
  // before any search those the options would make.
  bool IsWide() const;
  // A new file set with the options copied and the files listed.
  void ListFiles(const TStringVector& paths, const TStringVector& filters);
};
