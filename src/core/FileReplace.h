#pragma once
// The replace loop of a file set: backs up the files with ticked places, then checks,
// loads, splices and writes each under a lock, records what each written file looks
// like afterwards for the backup unit, and drops the places of written files. The
// files are written in groups (TSaveGroup) made durable together; a group is put in
// place before any question, before waiting for another process's lock, on a stop
// and at the end, so questions come in search order and no two runs wait on each
// other.

#include <functional>
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
#include "platform/FileLock.h"
#include "platform/SaveGroup.h"
#include "shared/Decision.h"
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
  enum class TSaveEnd { Written, Staged, GivenUp, Reload };
  // A file whose new bytes wait in the group, with its lock held until they are in
  // place; Finish settles it with its result (asking about a failure when ask).
  struct TPending {
    std::unique_ptr<hovrak::TFileLock> Lock;
    std::function<void(const hovrak::TSaveGroup::TResult&, bool ask, std::unique_ptr<hovrak::TFileLock>&)> Finish;
  };

  // Hands targets to the backup store; false when the backup was incomplete and
  // OnBackupFailed did not agree to go on (the incomplete unit is discarded).
  bool BackUp(const std::set<std::string>& targets);
  // The files of Files that are targets, in order, each once; written collects those
  // that were written.
  template <class C>
  void ReplaceAll(const TReplacingPattern<C>& pattern, TAbstractPlaceList& list, std::set<std::string>& targets);
  // Writes the file, into the group when grouped. lock: held already (by a staged
  // save that is done again), else taken here; forced: the user forced the file past
  // a change already.
  template <class C>
  void ReplaceFile(const std::string& path, const TReplacingPattern<C>& pattern, const TAbstractPlaceList& list,
                   bool grouped, std::unique_ptr<hovrak::TFileLock> lock = nullptr, bool forced = false);
  // Checks the file's time and loads it until it loads, is forced or is given up
  // (null: a failure is recorded). Abort raises EStoppedException.
  template <class C>
  std::unique_ptr<TFile<C>> Load(const std::string& path);
  // Whether a splice that found stale hits (stale) and replaced replaced may be written.
  bool AcceptSplice(const std::string& path, int stale, int replaced);
  // Writes the file while it is still as it was read (into the group when grouped).
  template <class C>
  TSaveEnd Save(TFile<C>& file, const std::string& path, int replaced, bool grouped);
  // What follows a save that ended with result: the record of a written file, or the
  // question about a failure and what the answer asks for.
  template <class C>
  TSaveEnd Settle(TFile<C>& file, const std::string& path, int replaced, TFileOperationResult result);
  // The end of a staged save of the file, once its group is committed.
  template <class C>
  void FinishStaged(const std::shared_ptr<TFile<C>>& file, const std::string& path, int replaced,
                    const TReplacingPattern<C>& pattern, const TAbstractPlaceList& list,
                    const hovrak::TSaveGroup::TResult& result, bool ask, std::unique_ptr<hovrak::TFileLock>& lock);
  // Puts the staged files in place and settles each; ask: failures are asked about
  // (not on a stop, where they are recorded).
  void CommitGroup(bool ask = true);
  // A question about a file, after the group is in place.
  TDecision Ask(const std::string& path, TFileOperationResult result, int error = 0);
  // Records a file written.
  void Wrote(const std::string& path, const TWrittenState& state, int replaced);
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
  hovrak::TSaveGroup group_;
  std::vector<TPending> pending_;
  // The files written, whose places leave the list at the end.
  std::unordered_set<std::string> written_;
  int index_ = 0;
  int count_ = 0;
  // The user forced the file at hand past a change since the search.
  bool modifiedForced_ = false;
};
