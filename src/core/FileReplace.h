#pragma once
// The replace loop of a file set: backs up the files with ticked places, then checks,
// loads, splices and writes each under a lock, records what each written file looks
// like afterwards for the backup unit, and drops the places of written files.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "backup/WrittenState.h"
#include "core/FileSetOutcome.h"
#include "core/TextChange.h"
#include "pattern/ReplacingPattern.h"
#include "text/File.h"
#include "text/FileOperationResult.h"

class TFileSet;

class TFileReplace {
 public:
  // preview: as in TFileSet::Replace (may be null).
  TFileReplace(TFileSet& set, const TTextChangeEvent* preview);

  // TFileSet::Replace.
  TFileSetOutcome Run(const TAbstractReplacingPattern& pattern, TAbstractPlaceList& list, bool doBackup);

 private:
  // How one try at writing a file ended.
  enum class TSaveEnd { Written, GivenUp, Reload };

  // Hands targets to the backup store; false when the backup was incomplete and
  // OnBackupFailed did not agree to go on (the incomplete unit is discarded).
  bool BackUp(const std::set<std::string>& targets);
  // The files of Files that are targets, in order, each once; written collects those
  // that were written.
  template <class C>
  void ReplaceAll(const TReplacingPattern<C>& pattern, TAbstractPlaceList& list, std::set<std::string>& targets,
                  std::unordered_set<std::string>& written);
  // True when the file was written.
  template <class C>
  bool ReplaceFile(const std::string& path, const TReplacingPattern<C>& pattern, const TAbstractPlaceList& list);
  // Checks the file's time and loads it until it loads, is forced or is given up
  // (null: a failure is recorded). Abort raises EStoppedException.
  template <class C>
  std::unique_ptr<TFile<C>> Load(const std::string& path);
  // Whether a splice that found stale hits (stale) and replaced replaced may be written.
  bool AcceptSplice(const std::string& path, int stale, int replaced);
  // Writes the file while it is still as it was read.
  template <class C>
  TSaveEnd Save(TFile<C>& file, const std::string& path, int replaced);
  // Records a file that was not rewritten; false.
  bool Fail(const std::string& path, TFileOperationResult result, int error = 0, bool writeFailed = false,
            const std::string& rescue = std::string());
  // The replace loop's progress, repeated while a file waits for its lock.
  void Report(const std::string& path) const;
  // Hands the states written since the last call to the backup unit of this run.
  void RecordWrittenStates();

  TFileSet& set_;
  const TTextChangeEvent* preview_;
  TFileReadOptions options_;
  // The places of each file in the list, ascending.
  std::unordered_map<std::string, std::vector<int>> placesOf_;
  std::map<std::string, TWrittenState> unrecorded_;
  int index_ = 0;
  int count_ = 0;
  // The user forced the file at hand past a change since the search.
  bool modifiedForced_ = false;
};
