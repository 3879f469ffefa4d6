#include "cli/CliSearchRun.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "cli/BackupAnswers.h"
#include "cli/CliCommandLine.h"
#include "cli/CliRun.h"
#include "cli/CountFormat.h"
#include "cli/CsvFormat.h"
#include "cli/DiffFormat.h"
#include "cli/GrepFormat.h"
#include "cli/JsonFormat.h"
#include "cli/PlaceOutput.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"
#include "core/TextChange.h"
#include "front/FileErrorQuestion.h"
#include "front/OnErrorPolicy.h"
#include "front/TargetCheck.h"
#include "front/TimeText.h"
#include "platform/SettingsFolder.h"
#include "settings/Option.h"
#include "shared/MessageTable.h"
#include "shared/MessageText.h"
#include "shared/StoppedException.h"
#include "text/FileOperationResult.h"

namespace {

const char* const kProgram = "mirun-cli";

}  // namespace

TCliSearchRun::TCliSearchRun(const TCliCommandLine& command, std::FILE* out, std::FILE* err,
                             const volatile std::sig_atomic_t* stopFlag)
    : command_(command), out_(out), err_(err), stopFlag_(stopFlag) {}

TCliSearchRun::~TCliSearchRun() = default;

int TCliSearchRun::Run() {
  if (const TStatus status = CheckTargets()) return *status;
  if (const TStatus status = ReadSettings()) return *status;
  if (const TStatus status = CheckTexts()) return *status;
  MakeOutput();
  InstallCallbacks();
  if (const TStatus status = Search()) return *status;
  return Replace();
}

int TCliSearchRun::Fail(const std::string& text) const {
  std::fprintf(err_, "%s\n", text.c_str());
  return TCliRun::kError;
}

void TCliSearchRun::CheckStop() const {
  if (*stopFlag_ || output_->Closed() || output_->Broken()) throw EStoppedException();
}

void TCliSearchRun::ClearProgress() const {
  if (progress_) progress_->Clear();
}

TCliSearchRun::TStatus TCliSearchRun::CheckTargets() const {
  // Targets: files, or exactly one folder.
  if (const int row = hovrak::CheckTargets(command_.Targets)) return Fail(MessageTable(row));
  return std::nullopt;
}

TCliSearchRun::TStatus TCliSearchRun::ReadSettings() {
  serializer_.SetOption(app_.Option.get());
  serializer_.SetBackup(app_.Backup.get());
  settings_ =
      std::make_unique<TSettingsFile>(command_.SettingsPath ? *command_.SettingsPath : hovrak::SettingsFilePath());
  // The program's own settings file may be missing (first run); a named one must be
  // there. One that is there but cannot be read (a folder, a device, no permission)
  // leaves the default options: a search goes on, only what must write the backup
  // index cannot.
  errno = 0;
  std::string unusable;
  if (command_.SettingsPath && !settings_->Exists())
    return TCliRun::UsageError(err_, "cannot read the settings file '" + TextForStream(err_, settings_->Path()) +
                                         "': " + std::strerror(ENOENT));
  if (settings_->Exists() && !settings_->Load(serializer_))
    unusable = errno ? std::strerror(errno) : "not a regular file";
  command_.ApplyTo(*app_.Option);
  if (!unusable.empty()) {
    if (command_.Replacement && app_.Option->Backup)
      return TCliRun::UsageError(
          err_, "cannot read the settings file '" + TextForStream(err_, settings_->Path()) + "': " + unusable +
                    " (a replace with backup keeps its index there; -B replaces without backup)");
    std::fprintf(err_, "%s: cannot read the settings file '%s': %s; going on with the default options\n", kProgram,
                 TextForStream(err_, settings_->Path()).c_str(), unusable.c_str());
  }
  // Time stamps only serve a replace that follows; a search alone need not read them,
  // nor keep the places, which are printed as they come.
  if (!command_.Replacement) {
    app_.Option->CheckTime = false;
    app_.KeepPlaces = false;
  }
  return std::nullopt;
}

TCliSearchRun::TStatus TCliSearchRun::CheckTexts() const {
  if (app_.Option->CharCode == TCharCode::ASCII) return std::nullopt;
  // Wide runs take entered text as UTF-8; malformed bytes would be searched for,
  // or written into files, as U+FFFD.
  if (!TCliRun::IsValidUtf8(command_.SearchText.value_or(std::string())))
    return TCliRun::UsageError(err_, "the search string is not valid UTF-8 (use -K n to search raw bytes)");
  if (command_.Replacement && !TCliRun::IsValidUtf8(*command_.Replacement))
    return TCliRun::UsageError(err_, "the replacement is not valid UTF-8 (use -K n to replace raw bytes)");
  return std::nullopt;
}

void TCliSearchRun::MakeOutput() {
  // Colours (and then the escaping of control characters too) where the output is a
  // terminal or the user asks for them.
  colors_ = TColors::Wanted(command_.Color, IsTerminal(out_), std::getenv("NO_COLOR"), std::getenv("TERM"))
                ? TColors::Default()
                : TColors::Off();
  forTerminal_ = IsTerminal(out_) || colors_.On();
  std::unique_ptr<TPlaceFormat> format;
  if (command_.Csv) {
    TCsvWriter csv;
    csv.File = command_.CsvFile;
    csv.Line = command_.CsvLine;
    csv.Hit = command_.CsvHit;
    csv.Around = command_.CsvAround;
    csv.AroundLength = command_.CsvAroundLength;
    csv.LineEnd = "\r\n";
    format = std::make_unique<TCsvFormat>(std::move(csv));
  } else if (command_.Json) {
    format = std::make_unique<TJsonFormat>(app_.Option->ShowLine || app_.Option->ByLine);
  } else if (command_.Count || command_.FilesWithMatches) {
    format = std::make_unique<TCountFormat>(command_.FilesWithMatches, forTerminal_, colors_);
  } else {
    format = std::make_unique<TGrepFormat>(forTerminal_, colors_);
  }
  output_ = std::make_unique<TPlaceOutput>(out_, std::move(format));
  progress_ = TProgressLine::ForStream(err_, command_.Quiet);
  const int outFd = ::fileno(out_);
  outIsTerminal_ = progress_ && outFd >= 0 && ::isatty(outFd);
}

void TCliSearchRun::InstallCallbacks() {
  app_.OnProcess = [this](TProcessType kind, const std::string& path, int index, int count) {
    CheckStop();
    if (!output_->FlushSometimes()) throw EStoppedException();
    if (kind == TProcessType::Replacing) visited_.insert(path);
    if (progress_) progress_->Update(kind, path, index, count);
  };
  app_.OnPlaceAdded = [this](TAbstractPlace* place) {
    CheckStop();
    if (command_.DryRun) return;  // the diff shows the places
    if (outIsTerminal_) progress_->Clear();
    if (!output_->Write(*place)) throw EStoppedException();
  };
  app_.OnFileError = [this](const std::string& path, TFileOperationResult result, int error) {
    ClearProgress();
    const TDecision decision = hovrak::OnErrorDecision(command_.OnError, hovrak::IsForcibleFailure(result));
    // The system's own reason, when there is one: "read-only" is only a guess.
    const std::string text = hovrak::FileFailureText(result, replacing_, app_.Option->CharCode, error);
    if (!text.empty()) std::fprintf(err_, "%s\n", text.c_str());
    if (error != 0) std::fprintf(err_, "  %s (%s)\n", TextForStream(err_, path).c_str(), std::strerror(error));
    else std::fprintf(err_, "  %s\n", TextForStream(err_, path).c_str());
    if (decision == TDecision::Abort) aborted_ = true;
    if (!replacing_) ++unreadable_;
    return decision;
  };
  app_.OnSkipped = [this](const std::string& path, TSkipReason reason) { passedOver_.Add(path, reason); };
  const TBackupAnswers answers{err_, settings_->Path(), command_.GoOnWithoutBackup, [this] { ClearProgress(); }};
  answers.Install(*app_.Backup);
  app_.OnBackupFailed = [answers](const TBackupReport& report) { return answers.BackupFailed(report); };
  InstallFileRead();
}

void TCliSearchRun::InstallFileRead() {
  if (command_.Detect) {
    app_.OnFileRead = [this](const std::string& path, TCharCode code, std::string_view bytes) {
      const TFileFacts facts = TFileFacts::OfBytes(bytes, code);
      line_.clear();
      colors_.Paint(line_, colors_.Path, forTerminal_ ? EscapeForTerminal(path) : path);
      line_ += '\t';
      line_ += facts.CodeName();
      line_ += '\t';
      line_ += facts.LineEndName();
      line_ += '\n';
      if (outIsTerminal_) progress_->Clear();
      if (!output_->WriteText(line_)) throw EStoppedException();
    };
  } else if (command_.Json) {
    // The file being read, for the facts JSON gives of it, and the totals of the run.
    app_.OnFileRead = [this](const std::string&, TCharCode code, std::string_view bytes) {
      readFacts_ = TFileFacts::OfBytes(bytes, code);
      ++totals_.Files;
      totals_.Bytes += static_cast<std::int64_t>(bytes.size());
    };
    output_->FactsOfCurrentFile = [this]() { return readFacts_; };
  }
}

TCliSearchRun::TStatus TCliSearchRun::OutputStatus() const {
  if (output_->Closed()) return TCliRun::kOutputClosed;
  if (output_->Broken())
    return Fail(std::string(kProgram) + ": cannot write the output: " + std::strerror(output_->Error()));
  return std::nullopt;
}

TCliSearchRun::TStatus TCliSearchRun::Search() {
  const TStringVector filters = command_.FilterTokens();
  int outcome;
  const auto started = std::chrono::steady_clock::now();
  try {
    if (!output_->Begin()) throw EStoppedException();
    outcome = command_.Detect ? app_.Detect(command_.Targets, filters)
                              : app_.Search(command_.Targets, filters, command_.SearchText.value_or(std::string()));
  } catch (const std::exception& e) {
    ClearProgress();
    return Fail(std::string(MessageTable(TMsg::ErrorOccurred)) + "\n" + e.what());
  }
  totals_.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (outcome == SearchCompleted) output_->End(totals_);
  output_->Flush();
  ClearProgress();
  if (const TStatus status = OutputStatus()) return status;
  std::fputs(passedOver_.Text(app_.Option->MaxFileSize, IsTerminal(err_)).c_str(), err_);
  switch (outcome) {
    case SearchInvalidPattern: return Fail(MessageTable(TMsg::InvalidSearched));
    case SearchNoTargetFiles: return Fail(MessageTable(TMsg::NoTargetFiles));
    case SearchStopped:
      if (!command_.Quiet || !*stopFlag_) std::fprintf(err_, "%s\n", MessageTable(TMsg::SearchStopped));
      return *stopFlag_ ? TCliRun::kInterrupted : TCliRun::kError;
    default: break;
  }
  if (command_.Detect) return unreadable_ > 0 ? TCliRun::kError : TCliRun::kFound;
  const int found = app_.PlaceList ? app_.PlaceList->Added : 0;
  if (!command_.Replacement) return found > 0 ? TCliRun::kFound : TCliRun::kNotFound;
  if (found == 0) return TCliRun::kNotFound;
  return std::nullopt;
}

int TCliSearchRun::Replace() {
  // Replace every place found.
  std::set<std::string> files;
  const int found = app_.PlaceList->Added;
  for (int i = 0; i < found; ++i) {
    TAbstractPlace* place = app_.PlaceList->Item(i);
    place->Checked = true;
    files.insert(place->FileName());
  }
  // The backup index is changed in the settings file itself, under a lock, as soon
  // as a unit is made or pruned: runs at once keep each other's units, and a killed
  // run leaves its unit indexed. A preview makes no backup and leaves it alone.
  index_ = std::make_unique<TSettingsBackupIndex>(settings_->Path());
  if (!command_.DryRun) app_.Backup->IndexStore = index_.get();
  replacing_ = true;
  aborted_ = false;
  int outcome;
  std::string failure;
  const auto showChange = [this](const TTextChange& change) {
    diff_.clear();
    if (!TDiffFormat::Append(change, static_cast<std::size_t>(command_.DiffContext), forTerminal_, colors_, diff_))
      return;
    ++changed_;
    if (outIsTerminal_) progress_->Clear();
    if (!output_->WriteText(diff_)) throw EStoppedException();
  };
  try {
    outcome =
        command_.DryRun ? app_.PreviewReplace(*command_.Replacement, showChange) : app_.Replace(*command_.Replacement);
  } catch (const std::exception& e) {
    outcome = -1;
    failure = e.what();
  }
  output_->Flush();
  ClearProgress();
  if (const TStatus status = OutputStatus()) return *status;
  return TellReplace(outcome, failure, files);
}

int TCliSearchRun::TellReplace(int outcome, const std::string& failure, const std::set<std::string>& files) {
  std::set<std::string> remaining;
  for (int i = 0; i < app_.PlaceList->Count(); ++i) remaining.insert(app_.PlaceList->Item(i)->FileName());
  std::size_t written = 0;
  for (const std::string& file : files) written += remaining.count(file) == 0 ? 1 : 0;
  std::size_t skipped = 0;
  if (command_.DryRun) skipped = app_.FileSet ? app_.FileSet->Failures.size() : 0;
  else
    for (const std::string& file : visited_) skipped += remaining.count(file) != 0 ? 1 : 0;

  int status = command_.DryRun && changed_ == 0 ? TCliRun::kNotFound : TCliRun::kFound;
  if (outcome == ReplaceBackupFailed) {
    std::fprintf(
        err_,
        "%s: no file was rewritten: the backup could not be made (--on-backup-error continue goes on without it)\n",
        kProgram);
    status = TCliRun::kError;
  } else if (outcome < 0) {
    std::fprintf(err_, "%s\n%s\n", MessageTable(TMsg::ErrorOccurred), failure.c_str());
    status = TCliRun::kError;
  } else if (!command_.Quiet || (outcome == ReplaceStopped && !*stopFlag_)) {
    if (command_.DryRun)
      std::fprintf(err_, "%s%s\n",
                   MessageTable(outcome == ReplaceStopped ? TMsg::DryRunStopped : TMsg::DryRunCompleted),
                   MessageText(TMsg::DryRunCounts, changed_, skipped).c_str());
    else
      std::fprintf(err_, "%s%s\n",
                   MessageTable(outcome == ReplaceStopped ? TMsg::ReplaceStopped : TMsg::ReplaceCompleted),
                   MessageText(TMsg::ReplaceCounts, written, skipped).c_str());
  }
  if (outcome == ReplaceStopped) status = *stopFlag_ && !aborted_ ? TCliRun::kInterrupted : TCliRun::kError;
  return TellFailures(outcome, status);
}

int TCliSearchRun::TellFailures(int outcome, int status) const {
  // Every file that was not rewritten is named: those that could not be read or
  // written make the run fail, those the user's --on-error left are listed.
  if (outcome != ReplaceBackupFailed && app_.FileSet) {
    for (const TReplaceFailure& f : app_.FileSet->Failures) {
      if (!f.IsError()) continue;
      std::fprintf(err_, "%s: not rewritten: '%s': %s\n", kProgram, TextForStream(err_, f.Path).c_str(),
                   f.Error                                      ? std::strerror(f.Error)
                   : f.Result == TFileOperationResult::TooLarge ? "too large"
                                                                : "cannot be read");
      if (!f.RescuePath.empty())
        std::fprintf(err_, "%s: its previous contents are kept in '%s'\n", kProgram,
                     TextForStream(err_, f.RescuePath).c_str());
      if (status != TCliRun::kError && status != TCliRun::kInterrupted) status = TCliRun::kError;
    }
    for (const TReplaceFailure& f : app_.FileSet->Failures)
      if (!f.IsError()) std::fprintf(err_, "%s: skipped: '%s'\n", kProgram, TextForStream(err_, f.Path).c_str());
  }
  // Units pruned to make room can no longer be undone: each is named.
  if (app_.FileSet) {
    for (const TPrunedUnit& unit : app_.FileSet->LastBackup.Pruned)
      std::fprintf(
          err_, "%s: %s\n", kProgram,
          MessageText(TMsg::UnitPrunedLine, TextForStream(err_, unit.Name), hovrak::TimeText(unit.Time)).c_str());
  }
  return status;
}
