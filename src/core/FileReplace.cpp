#include "core/FileReplace.h"

#include <cerrno>
#include <chrono>

#include "backup/Backup.h"
#include "core/FileSet.h"
#include "pattern/CharTyped.h"
#include "pattern/ReplaceInText.h"
#include "place/AbstractPlaceList.h"
#include "platform/PathOps.h"
#include "shared/StoppedException.h"

namespace {

// The text file of a run's character type: raw bytes when the code is ASCII,
// decoded UTF-16 otherwise.
std::unique_ptr<TFile<char>> MakeRunFile(const std::string& path, TCharCode, char) {
  return std::make_unique<TFile<char>>(path);
}
std::unique_ptr<TFile<wchar_t>> MakeRunFile(const std::string& path, TCharCode code, wchar_t) {
  return std::make_unique<TFile<wchar_t>>(path, code);
}

// The code a loaded file is written back in.
TCharCode FileCodeOf(const TFile<char>&) { return TCharCode::ASCII; }
TCharCode FileCodeOf(const TFile<wchar_t>& file) { return file.CharCode; }

}  // namespace

TFileReplace::TFileReplace(TFileSet& set, const TTextChangeEvent* preview) : set_(set), preview_(preview) {
  options_.checkCharCode = set.CheckCharCode;
  options_.maxSize = 2147483647;
  options_.keepLineEnds = true;
}

TFileSetOutcome TFileReplace::Run(const TAbstractReplacingPattern& pattern, TAbstractPlaceList& list, bool doBackup) {
  set_.Failures.clear();
  set_.WrittenFiles.clear();
  set_.ReplacedPlaces = 0;
  set_.LastBackup = TBackupReport();
  // One pass over the list: the files to rewrite and where each file's places are.
  std::set<std::string> targets;
  for (int i = 0, n = list.Count(); i < n; ++i) {
    const TAbstractPlace* place = list.Item(i);
    if (place->Checked) targets.insert(place->FileName());
    placesOf_[place->FileName()].push_back(i);
  }
  if (doBackup && set_.Backup && !preview_ && !BackUp(targets)) return TFileSetOutcome::BackupIncomplete;
  // The places of written files leave the list in one pass at the end, also when the
  // run is stopped, so the indices above stay valid during the run.
  written_.clear();
  struct TRemoveWritten {
    TAbstractPlaceList& list;
    const std::unordered_set<std::string>& written;
    ~TRemoveWritten() {
      if (!written.empty()) list.EraseIf([this](const TAbstractPlace& p) { return written.count(p.FileName()) != 0; });
    }
  } removeWritten{list, written_};

  // What each written file looks like afterwards goes into the backup unit: at the
  // end (also of a stopped run) and every few seconds on the way, so that a run
  // killed midway loses little of it.
  set_.WrittenStates.clear();
  struct TRecordAtEnd {
    TFileReplace& run;
    ~TRecordAtEnd() { run.RecordWrittenStates(); }
  } recordAtEnd{*this};

  count_ = static_cast<int>(targets.size());
  index_ = 0;
  WithCharType(set_.CharCode != TCharCode::ASCII, pattern,
               [&](const auto& typedPattern) { ReplaceAll(typedPattern, list, targets); });
  return TFileSetOutcome::Completed;
}

bool TFileReplace::BackUp(const std::set<std::string>& targets) {
  TBackup& backup = *set_.Backup;
  if (set_.OnProcess) set_.OnProcess(TProcessType::BackingUp, std::string(), 0, 0);
  // The backup reports each file it copies; a stop raised there ends the run before
  // any file is rewritten, with the copies made so far indexed.
  struct TProgressBinding {
    TBackup& backup;
    ~TProgressBinding() { backup.OnProgress.clear(); }
  } binding{backup};
  backup.OnProgress = [this](const std::string& path, int index, int count) {
    if (set_.OnProcess) set_.OnProcess(TProcessType::BackingUp, path, index, count);
  };
  set_.LastBackup = backup.MakeBackup(TStringVector(targets.begin(), targets.end()));
  const TBackupReport& report = set_.LastBackup;
  if (report.Declined || report.Complete()) return true;
  // No file is rewritten without its copy unless the user says so.
  if (set_.OnBackupFailed && set_.OnBackupFailed(report)) return true;
  if (!report.UnitName.empty()) backup.DiscardUnit(report.UnitName);
  return false;
}

template <class C>
void TFileReplace::ReplaceAll(const TReplacingPattern<C>& pattern, TAbstractPlaceList& list,
                              std::set<std::string>& targets) {
  auto lastRecord = std::chrono::steady_clock::now();
  try {
    for (const std::string& path : set_.Files) {
      // A path listed twice is rewritten once.
      if (targets.erase(path) == 0) continue;
      Report(path);
      ReplaceFile(path, pattern, list, !preview_);
      ++index_;
      if (group_.Full()) CommitGroup();
      if (!unrecorded_.empty() && std::chrono::steady_clock::now() - lastRecord > std::chrono::seconds(2)) {
        RecordWrittenStates();
        lastRecord = std::chrono::steady_clock::now();
      }
    }
    CommitGroup();
  } catch (...) {
    // A stop puts the files written whole so far in place; nothing more is asked.
    CommitGroup(false);
    throw;
  }
}

template <class C>
void TFileReplace::ReplaceFile(const std::string& path, const TReplacingPattern<C>& pattern,
                               const TAbstractPlaceList& list, bool grouped, std::unique_ptr<hovrak::TFileLock> lock,
                               bool forced) {
  // Other Mirun processes wait while this one reads, changes and writes the file. A
  // preview writes nothing, and a file is replaced whole, so it reads without waiting.
  // Before waiting for another process, this one puts its group in place and lets go
  // of the locks it holds, so that two runs never wait on each other.
  if (!lock) {
    lock = std::make_unique<hovrak::TFileLock>();
    if (!preview_)
      lock->Acquire(path, [this, &path] {
        CommitGroup();
        Report(path);
      });
  }
  modifiedForced_ = forced;
  const std::vector<int>& indices = placesOf_[path];
  // A file that keeps changing under the run is given up after a few rounds.
  for (int round = 0; round < 8; ++round) {
    std::unique_ptr<TFile<C>> file = Load<C>(path);
    if (!file) return;
    // Only the hits change; a hit that is no longer where the search found it means
    // the file changed since, which the user decides about like a new time stamp.
    std::basic_string<C> before;
    std::vector<TSplicedHit> hits;
    if (preview_) before = file->Text;
    const TSpliceResult spliced =
        SpliceReplacements<C>(pattern, file->Text, file->NewLine, list, path, &indices, preview_ ? &hits : nullptr);
    if (!AcceptSplice(path, spliced.Stale, spliced.Replaced)) return;
    if (preview_) {
      (*preview_)(TTextChange::Make<C>(path, FileCodeOf(*file), file->NewLine, before, file->Text, hits));
      return;
    }
    const TSaveEnd end = Save(*file, path, spliced.Replaced, grouped);
    if (end == TSaveEnd::Staged) {
      std::shared_ptr<TFile<C>> staged = std::move(file);
      const int replaced = spliced.Replaced;
      pending_.push_back(TPending{std::move(lock), [this, staged, path, replaced, &pattern, &list](
                                                       const hovrak::TSaveGroup::TResult& result, bool ask,
                                                       std::unique_ptr<hovrak::TFileLock>& held) {
                                    FinishStaged(staged, path, replaced, pattern, list, result, ask, held);
                                  }});
      return;
    }
    if (end != TSaveEnd::Reload) return;
  }
  Fail(path, TFileOperationResult::ModifiedSinceSearch);
}

template <class C>
void TFileReplace::FinishStaged(const std::shared_ptr<TFile<C>>& file, const std::string& path, int replaced,
                                const TReplacingPattern<C>& pattern, const TAbstractPlaceList& list,
                                const hovrak::TSaveGroup::TResult& result, bool ask,
                                std::unique_ptr<hovrak::TFileLock>& lock) {
  file->WrittenIdentity = result.Written;
  file->WrittenHash = result.Hash;
  file->LastError = result.Error;
  file->RescuePath = result.RescuePath;
  const TFileOperationResult outcome = result.Error == 0        ? TFileOperationResult::Success
                                       : result.Error == ESTALE ? TFileOperationResult::ModifiedSinceSearch
                                                                : TFileOperationResult::OpenFailed;
  if (outcome != TFileOperationResult::Success && !ask) {
    Fail(path, outcome, result.Error, outcome == TFileOperationResult::OpenFailed, result.RescuePath);
    return;
  }
  // A failure is handled as a save of its own would be: asked about, tried again
  // alone, or the file read again when the user forces it past a change.
  if (Settle(*file, path, replaced, outcome) == TSaveEnd::Reload)
    ReplaceFile(path, pattern, list, false, std::move(lock), true);
}

void TFileReplace::CommitGroup(bool ask) {
  if (pending_.empty()) return;
  std::vector<TPending> pending = std::move(pending_);
  pending_.clear();
  const std::vector<hovrak::TSaveGroup::TResult> results = group_.Commit();
  // The files of other questions may come up below: this file's own state stays.
  const bool forced = modifiedForced_;
  // Those written first, so that a stop answered below loses none of them; then the
  // failures in search order.
  for (std::size_t i = 0; i < pending.size() && i < results.size(); ++i)
    if (results[i].Error == 0) pending[i].Finish(results[i], ask, pending[i].Lock);
  for (std::size_t i = 0; i < pending.size() && i < results.size(); ++i) {
    if (results[i].Error == 0) continue;
    try {
      pending[i].Finish(results[i], ask, pending[i].Lock);
    } catch (...) {
      for (std::size_t j = i + 1; j < pending.size() && j < results.size(); ++j)
        if (results[j].Error != 0) pending[j].Finish(results[j], false, pending[j].Lock);
      modifiedForced_ = forced;
      throw;
    }
  }
  modifiedForced_ = forced;
}

TDecision TFileReplace::Ask(const std::string& path, TFileOperationResult result, int error) {
  CommitGroup();
  return set_.AskFileError(path, result, error);
}

template <class C>
std::unique_ptr<TFile<C>> TFileReplace::Load(const std::string& path) {
  for (;;) {
    TDecision decision = TDecision::Force;
    if (!modifiedForced_ && set_.IsModifiedSinceSearch(path)) {
      decision = Ask(path, TFileOperationResult::ModifiedSinceSearch);
      if (decision == TDecision::Force) modifiedForced_ = true;
      if (decision == TDecision::Skip) return Fail(path, TFileOperationResult::ModifiedSinceSearch), nullptr;
    }
    TFileOperationResult result = TFileOperationResult::Success;
    std::unique_ptr<TFile<C>> file;
    if (decision == TDecision::Force) {
      file = MakeRunFile(path, set_.CharCode, C());
      result = file->Load(options_);
      if (result == TFileOperationResult::Success) return file;
      decision = Ask(path, result, file->LastError);
      // Only a complete text can be forced: a file that was not read is skipped.
      if (decision == TDecision::Force &&
          (result == TFileOperationResult::OpenFailed || result == TFileOperationResult::TooLarge))
        decision = TDecision::Skip;
    }
    if (decision == TDecision::Force) return file;
    if (decision == TDecision::Abort) throw EStoppedException();
    if (decision == TDecision::Skip) return Fail(path, result, file ? file->LastError : 0), nullptr;
    // Retry: check the time and load again.
  }
}

bool TFileReplace::AcceptSplice(const std::string& path, int stale, int replaced) {
  if (stale > 0 && !modifiedForced_) {
    const TDecision decision = Ask(path, TFileOperationResult::ModifiedSinceSearch);
    if (decision == TDecision::Abort) throw EStoppedException();
    if (decision != TDecision::Force) return Fail(path, TFileOperationResult::ModifiedSinceSearch);
    modifiedForced_ = true;
  }
  if (replaced == 0) return stale > 0 ? Fail(path, TFileOperationResult::ModifiedSinceSearch) : false;
  return true;
}

template <class C>
TFileReplace::TSaveEnd TFileReplace::Save(TFile<C>& file, const std::string& path, int replaced, bool grouped) {
  // Written only while the file is still as it was read; a change in between goes
  // back to the checks with the new contents.
  file.SaveOnlyIfUnchanged = true;
  file.Group = grouped ? &group_ : nullptr;
  const TFileOperationResult result = file.Save();
  file.Group = nullptr;
  if (grouped && result == TFileOperationResult::Success) return TSaveEnd::Staged;
  return Settle(file, path, replaced, result);
}

template <class C>
TFileReplace::TSaveEnd TFileReplace::Settle(TFile<C>& file, const std::string& path, int replaced,
                                            TFileOperationResult result) {
  for (;;) {
    if (result == TFileOperationResult::Success) {
      // The file as the save left it, told by the file itself: the path may lead
      // elsewhere by now.
      Wrote(path, TWrittenState::FromIdentity(file.WrittenIdentity, file.WrittenHash), replaced);
      return TSaveEnd::Written;
    }
    if (result == TFileOperationResult::ModifiedSinceSearch) {
      const TDecision decision = Ask(path, result);
      if (decision == TDecision::Abort) throw EStoppedException();
      if (decision != TDecision::Force) return Fail(path, result), TSaveEnd::GivenUp;
      modifiedForced_ = true;
      return TSaveEnd::Reload;
    }
    // A write failure never ends the run: anything but Retry leaves the file as it was.
    if (Ask(path, result, file.LastError) != TDecision::Retry)
      return Fail(path, result, file.LastError, true, file.RescuePath), TSaveEnd::GivenUp;
    result = file.Save();
  }
}

void TFileReplace::Wrote(const std::string& path, const TWrittenState& state, int replaced) {
  const std::string absolute = hovrak::AbsolutePath(path);
  set_.WrittenStates[absolute] = state;
  unrecorded_[absolute] = state;
  set_.ReplacedPlaces += replaced;
  written_.insert(path);
  set_.WrittenFiles.push_back(path);
}

bool TFileReplace::Fail(const std::string& path, TFileOperationResult result, int error, bool writeFailed,
                        const std::string& rescue) {
  set_.Failures.push_back(TReplaceFailure{path, result, error, writeFailed, rescue});
  return false;
}

void TFileReplace::Report(const std::string& path) const {
  if (set_.OnProcess) set_.OnProcess(TProcessType::Replacing, path, index_, count_);
}

void TFileReplace::RecordWrittenStates() {
  if (unrecorded_.empty()) return;
  if (set_.Backup && !set_.LastBackup.UnitName.empty())
    set_.Backup->RecordWritten(set_.LastBackup.UnitName, unrecorded_);
  unrecorded_.clear();
}
