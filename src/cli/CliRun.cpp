#include "cli/CliRun.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "cli/BackupAnswers.h"
#include "cli/CliBackupCommands.h"
#include "cli/CliCommandLine.h"
#include "cli/Colors.h"
#include "cli/CountFormat.h"
#include "cli/CsvFormat.h"
#include "cli/DiffFormat.h"
#include "cli/GrepFormat.h"
#include "cli/JsonFormat.h"
#include "cli/PlaceOutput.h"
#include "cli/ProgressLine.h"
#include "cli/SkipReport.h"
#include "cli/TerminalText.h"
#include "core/MirunApp.h"
#include "front/FileErrorQuestion.h"
#include "front/PathListText.h"
#include "front/StartSaveJournal.h"
#include "front/TimeText.h"
#include "platform/SettingsFolder.h"
#include "settings/Option.h"
#include "settings/Serializer.h"
#include "settings/SettingsFile.h"
#include "shared/MessageTable.h"
#include "shared/StoppedException.h"
#include "text/FileOperationResult.h"
#include "text/Utf8Scan.h"

#ifndef MIRUN_VERSION
#define MIRUN_VERSION "unknown"
#endif

namespace {

const char* const kProgram = "mirun-cli";

int TerminalWidth(int fd) {
  struct winsize size;
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

void TCliRun::TellRecovered(const std::vector<hovrak::TRecoveredSave>& recovered) const {
  for (const hovrak::TRecoveredSave& item : recovered) {
    if (item.Kind == hovrak::TRecoveredSave::TKind::Repaired)
      std::fprintf(err_, "%s: '%s' was left half-written by a run that was stopped; its previous contents are back\n",
                   kProgram, TextForStream(err_, item.Path).c_str());
    else
      std::fprintf(err_,
                   "%s: '%s' was being rewritten by a run that was stopped and could not be put right (%s); its "
                   "previous contents are kept in '%s'\n",
                   kProgram, TextForStream(err_, item.Path).c_str(),
                   item.Error == ESTALE ? "it was replaced since" : std::strerror(item.Error),
                   TextForStream(err_, item.CopyPath).c_str());
  }
}

bool TCliRun::IsValidUtf8(const std::string& text) { return hovrak::IsUtf8(text); }

int TCliRun::Run(const std::vector<std::string>& args) {
  const TCliCommandLine command(args);
  const auto usageError = [this](const std::string& message) {
    std::fprintf(err_, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
    return kError;
  };
  const auto message = [this](const std::string& text) {
    std::fprintf(err_, "%s\n", text.c_str());
    return kError;
  };
  if (!command.Error().empty()) return usageError(command.Error());
  // Whatever the command, a run killed before this one is tidied up after first.
  TellRecovered(hovrak::StartSaveJournal());
  if (command.Help) {
    std::fputs(TCliCommandLine::Usage().c_str(), out_);
    return std::fflush(out_) == 0 ? kFound : kError;
  }
  if (command.Version) {
    std::fprintf(out_, "%s %s\n", kProgram, MIRUN_VERSION);
    return std::fflush(out_) == 0 ? kFound : kError;
  }

  if (command.ListBackups || command.RestoreUnit) return TCliBackupCommands(out_, err_, stopFlag_).Run(command);

  // Targets: files, or exactly one folder.
  if (command.Targets.empty()) return message(MessageTable(54));
  if (command.Targets.size() > 1) {
    for (const std::string& target : command.Targets) {
      if (TFileSet::GetPathKind(target) == 2) return message(MessageTable(55));
    }
  }

  TMirunApp app;
  TSerializer serializer;
  serializer.SetOption(app.Option.get());
  serializer.SetBackup(app.Backup.get());
  TSettingsFile settings(command.SettingsPath ? *command.SettingsPath : hovrak::SettingsFilePath());
  // The program's own settings file may be missing (first run); a named one must be
  // there. One that is there but cannot be read (a folder, a device, no permission)
  // leaves the default options: a search goes on, only what must write the backup
  // index cannot.
  errno = 0;
  std::string unusable;
  if (command.SettingsPath && !settings.Exists())
    return usageError("cannot read the settings file '" + TextForStream(err_, settings.Path()) +
                      "': " + std::strerror(ENOENT));
  if (settings.Exists() && !settings.Load(serializer)) unusable = errno ? std::strerror(errno) : "not a regular file";
  command.ApplyTo(*app.Option);
  if (!unusable.empty()) {
    if (command.Replacement && app.Option->Backup)
      return usageError("cannot read the settings file '" + TextForStream(err_, settings.Path()) + "': " + unusable +
                        " (a replace with backup keeps its index there; -B replaces without backup)");
    std::fprintf(err_, "%s: cannot read the settings file '%s': %s; going on with the default options\n", kProgram,
                 TextForStream(err_, settings.Path()).c_str(), unusable.c_str());
  }
  // Time stamps only serve a replace that follows; a search alone need not read them,
  // nor keep the places, which are printed as they come.
  if (!command.Replacement) {
    app.Option->CheckTime = false;
    app.KeepPlaces = false;
  }

  const bool wide = app.Option->CharCode != TCharCode::ASCII;
  const std::string searchText = command.SearchText.value_or(std::string());
  if (wide) {
    // Wide runs take entered text as UTF-8; malformed bytes would be searched for,
    // or written into files, as U+FFFD.
    if (!IsValidUtf8(searchText))
      return usageError("the search string is not valid UTF-8 (use -K n to search raw bytes)");
    if (command.Replacement && !IsValidUtf8(*command.Replacement))
      return usageError("the replacement is not valid UTF-8 (use -K n to replace raw bytes)");
  }
  const TStringVector filters = command.FilterTokens();

  // Output and progress. Colours (and then the escaping of control characters too)
  // where the output is a terminal or the user asks for them.
  const TColors colors = TColors::Wanted(command.Color, IsTerminal(out_), std::getenv("NO_COLOR"), std::getenv("TERM"))
                             ? TColors::Default()
                             : TColors::Off();
  const bool forTerminal = IsTerminal(out_) || colors.On();
  std::unique_ptr<TPlaceFormat> format;
  if (command.Csv) {
    TCsvWriter csv;
    csv.File = command.CsvFile;
    csv.Line = command.CsvLine;
    csv.Hit = command.CsvHit;
    csv.Around = command.CsvAround;
    csv.AroundLength = command.CsvAroundLength;
    csv.LineEnd = "\r\n";
    format = std::make_unique<TCsvFormat>(std::move(csv));
  } else if (command.Json) {
    format = std::make_unique<TJsonFormat>(app.Option->ShowLine || app.Option->ByLine);
  } else if (command.Count || command.FilesWithMatches) {
    format = std::make_unique<TCountFormat>(command.FilesWithMatches, forTerminal, colors);
  } else {
    format = std::make_unique<TGrepFormat>(forTerminal, colors);
  }
  TPlaceOutput output(out_, std::move(format));
  const int errFd = ::fileno(err_);
  std::unique_ptr<TProgressLine> progress;
  if (!command.Quiet && errFd >= 0 && ::isatty(errFd))
    progress = std::make_unique<TProgressLine>(err_, TerminalWidth(errFd));
  const int outFd = ::fileno(out_);
  const bool outIsTerminal = progress && outFd >= 0 && ::isatty(outFd);
  const auto clearProgress = [&progress]() {
    if (progress) progress->Clear();
  };

  bool replacing = false;
  bool aborted = false;
  std::set<std::string> visited;
  const auto checkStop = [this, &output]() {
    if (*stopFlag_ || output.Closed() || output.Broken()) throw EStoppedException();
  };
  app.OnProcess = [&](TProcessType kind, const std::string& path, int index, int count) {
    checkStop();
    if (!output.FlushSometimes()) throw EStoppedException();
    if (kind == TProcessType::Replacing) visited.insert(path);
    if (progress) progress->Update(kind, path, index, count);
  };
  app.OnPlaceAdded = [&](TAbstractPlace* place) {
    checkStop();
    if (command.DryRun) return;  // the diff shows the places
    if (outIsTerminal) progress->Clear();
    if (!output.Write(*place)) throw EStoppedException();
  };
  int unreadable = 0;
  app.OnFileError = [&](const std::string& path, TFileOperationResult result, int error) {
    clearProgress();
    TDecision decision = TDecision::Skip;
    if (command.OnError == TCliCommandLine::TOnError::Abort) decision = TDecision::Abort;
    else if (command.OnError == TCliCommandLine::TOnError::Force && result != TFileOperationResult::OpenFailed)
      decision = TDecision::Force;
    // The system's own reason, when there is one: "read-only" is only a guess.
    const std::string text = hovrak::FileFailureText(result, replacing, app.Option->CharCode, error);
    if (!text.empty()) std::fprintf(err_, "%s\n", text.c_str());
    if (error != 0) std::fprintf(err_, "  %s (%s)\n", TextForStream(err_, path).c_str(), std::strerror(error));
    else std::fprintf(err_, "  %s\n", TextForStream(err_, path).c_str());
    if (decision == TDecision::Abort) aborted = true;
    if (!replacing) ++unreadable;
    return decision;
  };
  TSkipReport passedOver;
  app.OnSkipped = [&passedOver](const std::string& path, TSkipReason reason) { passedOver.Add(path, reason); };
  const TBackupAnswers answers{err_, settings.Path(), command.GoOnWithoutBackup, clearProgress};
  answers.Install(*app.Backup);
  app.OnBackupFailed = [answers](const TBackupReport& report) { return answers.BackupFailed(report); };

  // The file being read, for the facts JSON gives of it, and the totals of the run.
  TSearchTotals totals;
  TFileFacts readFacts;
  std::string line;  // one line of --detect
  if (command.Detect) {
    app.OnFileRead = [&](const std::string& path, TCharCode code, std::string_view bytes) {
      const TFileFacts facts = TFileFacts::OfBytes(bytes, code);
      line.clear();
      colors.Paint(line, colors.Path, forTerminal ? EscapeForTerminal(path) : path);
      line += '\t';
      line += facts.CodeName();
      line += '\t';
      line += facts.LineEndName();
      line += '\n';
      if (outIsTerminal) progress->Clear();
      if (!output.WriteText(line)) throw EStoppedException();
    };
  } else if (command.Json) {
    app.OnFileRead = [&](const std::string&, TCharCode code, std::string_view bytes) {
      readFacts = TFileFacts::OfBytes(bytes, code);
      ++totals.Files;
      totals.Bytes += static_cast<std::int64_t>(bytes.size());
    };
    output.FactsOfCurrentFile = [&readFacts]() { return readFacts; };
  }

  int outcome;
  const auto started = std::chrono::steady_clock::now();
  try {
    if (!output.Begin()) throw EStoppedException();
    outcome = command.Detect ? app.Detect(command.Targets, filters) : app.Search(command.Targets, filters, searchText);
  } catch (const std::exception& e) {
    clearProgress();
    return message(std::string(MessageTable(39)) + "\n" + e.what());
  }
  totals.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (outcome == SearchCompleted) output.End(totals);
  output.Flush();
  clearProgress();
  if (output.Closed()) return kOutputClosed;
  if (output.Broken())
    return message(std::string(kProgram) + ": cannot write the output: " + std::strerror(output.Error()));
  std::fputs(passedOver.Text(app.Option->MaxFileSize, IsTerminal(err_)).c_str(), err_);
  switch (outcome) {
    case SearchInvalidPattern: return message(MessageTable(37));
    case SearchNoTargetFiles: return message(MessageTable(38));
    case SearchStopped:
      if (!command.Quiet || !*stopFlag_) std::fprintf(err_, "%s\n", MessageTable(36));
      return *stopFlag_ ? kInterrupted : kError;
    default: break;
  }
  if (command.Detect) return unreadable > 0 ? kError : kFound;
  const int found = app.PlaceList ? app.PlaceList->Added : 0;
  if (!command.Replacement) return found > 0 ? kFound : kNotFound;
  if (found == 0) return kNotFound;

  // Replace every place found.
  std::set<std::string> files;
  for (int i = 0; i < found; ++i) {
    TAbstractPlace* place = app.PlaceList->Item(i);
    place->Checked = true;
    files.insert(place->FileName());
  }
  // The backup index is changed in the settings file itself, under a lock, as soon
  // as a unit is made or pruned: runs at once keep each other's units, and a killed
  // run leaves its unit indexed. A preview makes no backup and leaves it alone.
  TSettingsBackupIndex index(settings.Path());
  if (!command.DryRun) app.Backup->IndexStore = &index;
  replacing = true;
  aborted = false;
  int replaceOutcome;
  std::string failure;
  std::size_t changed = 0;  // files a preview shows as changed
  std::string diff;
  const auto showChange = [&](const TTextChange& change) {
    diff.clear();
    if (!TDiffFormat::Append(change, static_cast<std::size_t>(command.DiffContext), forTerminal, colors, diff)) return;
    ++changed;
    if (outIsTerminal) progress->Clear();
    if (!output.WriteText(diff)) throw EStoppedException();
  };
  try {
    replaceOutcome =
        command.DryRun ? app.PreviewReplace(*command.Replacement, showChange) : app.Replace(*command.Replacement);
  } catch (const std::exception& e) {
    replaceOutcome = -1;
    failure = e.what();
  }
  output.Flush();
  clearProgress();
  if (output.Closed()) return kOutputClosed;
  if (output.Broken())
    return message(std::string(kProgram) + ": cannot write the output: " + std::strerror(output.Error()));

  std::set<std::string> remaining;
  for (int i = 0; i < app.PlaceList->Count(); ++i) remaining.insert(app.PlaceList->Item(i)->FileName());
  std::size_t written = 0;
  for (const std::string& file : files) written += remaining.count(file) == 0 ? 1 : 0;
  std::size_t skipped = 0;
  if (command.DryRun) skipped = app.FileSet ? app.FileSet->Failures.size() : 0;
  else
    for (const std::string& file : visited) skipped += remaining.count(file) != 0 ? 1 : 0;

  int status = command.DryRun && changed == 0 ? kNotFound : kFound;
  if (replaceOutcome == ReplaceBackupFailed) {
    std::fprintf(
        err_,
        "%s: no file was rewritten: the backup could not be made (--on-backup-error continue goes on without it)\n",
        kProgram);
    status = kError;
  } else if (replaceOutcome < 0) {
    std::fprintf(err_, "%s\n%s\n", MessageTable(39), failure.c_str());
    status = kError;
  } else if (!command.Quiet || (replaceOutcome == ReplaceStopped && !*stopFlag_)) {
    if (command.DryRun)
      std::fprintf(err_, "%s（変わるファイル %zu、スキップ %zu ファイル。どのファイルも書き換えていません）\n",
                   replaceOutcome == ReplaceStopped ? "置換の確認を中止しました。" : "置換の確認が完了しました。",
                   changed, skipped);
    else
      std::fprintf(err_, "%s（書き込み %zu ファイル、スキップ %zu ファイル）\n",
                   MessageTable(replaceOutcome == ReplaceStopped ? 62 : 63), written, skipped);
  }
  if (replaceOutcome == ReplaceStopped) status = *stopFlag_ && !aborted ? kInterrupted : kError;

  // Every file that was not rewritten is named: those that could not be read or
  // written make the run fail, those the user's --on-error left are listed.
  if (replaceOutcome != ReplaceBackupFailed && app.FileSet) {
    for (const TReplaceFailure& f : app.FileSet->Failures) {
      if (!f.IsError()) continue;
      std::fprintf(err_, "%s: not rewritten: '%s': %s\n", kProgram, TextForStream(err_, f.Path).c_str(),
                   f.Error                                      ? std::strerror(f.Error)
                   : f.Result == TFileOperationResult::TooLarge ? "too large"
                                                                : "cannot be read");
      if (!f.RescuePath.empty())
        std::fprintf(err_, "%s: its previous contents are kept in '%s'\n", kProgram,
                     TextForStream(err_, f.RescuePath).c_str());
      if (status != kError && status != kInterrupted) status = kError;
    }
    for (const TReplaceFailure& f : app.FileSet->Failures)
      if (!f.IsError()) std::fprintf(err_, "%s: skipped: '%s'\n", kProgram, TextForStream(err_, f.Path).c_str());
  }
  // Units pruned to make room can no longer be undone: each is named.
  if (app.FileSet) {
    for (const TPrunedUnit& unit : app.FileSet->LastBackup.Pruned)
      std::fprintf(err_, "%s: 古いバックアップを削除しました: %s（%s）\n", kProgram,
                   TextForStream(err_, unit.Name).c_str(), hovrak::TimeText(unit.Time).c_str());
  }
  return status;
}
