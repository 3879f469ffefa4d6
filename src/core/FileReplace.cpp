#include "core/FileReplace.h"

#include <chrono>

#include "backup/Backup.h"
#include "core/FileSet.h"
#include "pattern/CharTyped.h"
#include "pattern/ReplaceInText.h"
#include "place/AbstractPlaceList.h"
#include "platform/FileLock.h"
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
  std::unordered_set<std::string> written;
  struct TRemoveWritten {
    TAbstractPlaceList& list;
    const std::unordered_set<std::string>& written;
    ~TRemoveWritten() {
      if (!written.empty()) list.EraseIf([this](const TAbstractPlace& p) { return written.count(p.FileName()) != 0; });
    }
  } removeWritten{list, written};

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
               [&](const auto& typedPattern) { ReplaceAll(typedPattern, list, targets, written); });
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
                              std::set<std::string>& targets, std::unordered_set<std::string>& written) {
  auto lastRecord = std::chrono::steady_clock::now();
  for (const std::string& path : set_.Files) {
    // A path listed twice is rewritten once.
    if (targets.erase(path) == 0) continue;
    Report(path);
    const bool wrote = ReplaceFile(path, pattern, list);
    if (wrote) {
      written.insert(path);
      set_.WrittenFiles.push_back(path);
    }
    ++index_;
    if (wrote && std::chrono::steady_clock::now() - lastRecord > std::chrono::seconds(2)) {
      RecordWrittenStates();
      lastRecord = std::chrono::steady_clock::now();
    }
  }
}

template <class C>
bool TFileReplace::ReplaceFile(const std::string& path, const TReplacingPattern<C>& pattern,
                               const TAbstractPlaceList& list) {
  // Other Mirun processes wait while this one reads, changes and writes the file. A
  // preview writes nothing, and a file is replaced whole, so it reads without waiting.
  hovrak::TFileLock lock;
  if (!preview_) lock.Acquire(path, [this, &path] { Report(path); });
  modifiedForced_ = false;
  const std::vector<int>& indices = placesOf_[path];
  // A file that keeps changing under the run is given up after a few rounds.
  for (int round = 0; round < 8; ++round) {
    const std::unique_ptr<TFile<C>> file = Load<C>(path);
    if (!file) return false;
    // Only the hits change; a hit that is no longer where the search found it means
    // the file changed since, which the user decides about like a new time stamp.
    std::basic_string<C> before;
    std::vector<TSplicedHit> hits;
    if (preview_) before = file->Text;
    const TSpliceResult spliced =
        SpliceReplacements<C>(pattern, file->Text, file->NewLine, list, path, &indices, preview_ ? &hits : nullptr);
    if (!AcceptSplice(path, spliced.Stale, spliced.Replaced)) return false;
    if (preview_) {
      (*preview_)(TTextChange::Make<C>(path, FileCodeOf(*file), file->NewLine, before, file->Text, hits));
      return false;
    }
    const TSaveEnd end = Save(*file, path, spliced.Replaced);
    if (end != TSaveEnd::Reload) return end == TSaveEnd::Written;
  }
  return Fail(path, TFileOperationResult::ModifiedSinceSearch);
}

template <class C>
std::unique_ptr<TFile<C>> TFileReplace::Load(const std::string& path) {
  for (;;) {
    TDecision decision = TDecision::Force;
    if (!modifiedForced_ && set_.IsModifiedSinceSearch(path)) {
      decision = set_.AskFileError(path, TFileOperationResult::ModifiedSinceSearch);
      if (decision == TDecision::Force) modifiedForced_ = true;
      if (decision == TDecision::Skip) return Fail(path, TFileOperationResult::ModifiedSinceSearch), nullptr;
    }
    TFileOperationResult result = TFileOperationResult::Success;
    std::unique_ptr<TFile<C>> file;
    if (decision == TDecision::Force) {
      file = MakeRunFile(path, set_.CharCode, C());
      result = file->Load(options_);
      if (result == TFileOperationResult::Success) return file;
      decision = set_.AskFileError(path, result, file->LastError);
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
    const TDecision decision = set_.AskFileError(path, TFileOperationResult::ModifiedSinceSearch);
    if (decision == TDecision::Abort) throw EStoppedException();
    if (decision != TDecision::Force) return Fail(path, TFileOperationResult::ModifiedSinceSearch);
    modifiedForced_ = true;
  }
  if (replaced == 0) return stale > 0 ? Fail(path, TFileOperationResult::ModifiedSinceSearch) : false;
  return true;
}

template <class C>
TFileReplace::TSaveEnd TFileReplace::Save(TFile<C>& file, const std::string& path, int replaced) {
  // Written only while the file is still as it was read; a change in between goes
  // back to the checks with the new contents.
  file.SaveOnlyIfUnchanged = true;
  for (;;) {
    const TFileOperationResult result = file.Save();
    if (result == TFileOperationResult::Success) {
      // The file as the save left it, told by the file itself: the path may lead
      // elsewhere by now.
      const TWrittenState state = TWrittenState::FromIdentity(file.WrittenIdentity, file.WrittenHash);
      const std::string absolute = hovrak::AbsolutePath(path);
      set_.WrittenStates[absolute] = state;
      unrecorded_[absolute] = state;
      set_.ReplacedPlaces += replaced;
      return TSaveEnd::Written;
    }
    if (result == TFileOperationResult::ModifiedSinceSearch) {
      const TDecision decision = set_.AskFileError(path, result);
      if (decision == TDecision::Abort) throw EStoppedException();
      if (decision != TDecision::Force) return Fail(path, result), TSaveEnd::GivenUp;
      modifiedForced_ = true;
      return TSaveEnd::Reload;
    }
    // A write failure never ends the run: anything but Retry leaves the file as it was.
    if (set_.AskFileError(path, result, file.LastError) != TDecision::Retry)
      return Fail(path, result, file.LastError, true, file.RescuePath), TSaveEnd::GivenUp;
  }
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
