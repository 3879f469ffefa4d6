#include "cli/CliBackupCommands.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "backup/Backup.h"
#include "backup/BackupRestore.h"
#include "backup/SettingsBackupIndex.h"
#include "cli/BackupAnswers.h"
#include "cli/CliCommandLine.h"
#include "cli/CliRun.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"
#include "front/BackupListText.h"
#include "front/OnErrorPolicy.h"
#include "platform/SettingsFolder.h"
#include "settings/KELString.h"
#include "settings/Option.h"
#include "settings/Serializer.h"
#include "settings/SettingsFile.h"
#include "shared/MessageTable.h"
#include "shared/MessageText.h"
#include "shared/StoppedException.h"

namespace {

const char* const kProgram = "mirun-cli";

std::string TimeText(const boost::posix_time::ptime& time) { return hovrak::TKELString(time).Text(); }

const char* ProblemText(TRestoreProblem problem) {
  switch (problem) {
    case TRestoreProblem::Modified: return "changed since the replace";
    case TRestoreProblem::NotRecorded: return "differs from its copy, and the unit holds no record of the replace";
    case TRestoreProblem::Missing: return "deleted since the replace";
    case TRestoreProblem::FolderMissing: return "its folder is gone";
    case TRestoreProblem::WriteFailed: return "cannot be written";
    case TRestoreProblem::Link: return "is a symbolic link now";
    case TRestoreProblem::LinkedFolder:
      return "a folder on its way is a symbolic link or no folder, which a restore never follows";
  }
  return "";
}

}  // namespace

int TCliBackupCommands::Run(const TCliCommandLine& command) {
  TOption option;
  TBackup backup;
  TSerializer serializer;
  serializer.SetOption(&option);
  serializer.SetBackup(&backup);
  TSettingsFile settings(command.SettingsPath ? *command.SettingsPath : hovrak::SettingsFilePath());
  errno = 0;
  if ((command.SettingsPath || settings.Exists()) && !settings.Load(serializer)) {
    std::fprintf(err_, "%s: cannot read the settings file '%s': %s\nTry '%s --help'.\n", kProgram,
                 TextForStream(err_, settings.Path()).c_str(), errno ? std::strerror(errno) : "not a regular file",
                 kProgram);
    return TCliRun::kError;
  }
  if (command.ListBackups) return List(backup);
  return Restore(command, backup, settings.Path());
}

int TCliBackupCommands::List(TBackup& backup) {
  // The index lists the oldest unit first.
  for (auto it = backup.Units.rbegin(); it != backup.Units.rend(); ++it)
    std::fprintf(out_, "%s\n", TextForStream(out_, hovrak::BackupListLine(**it), true).c_str());
  return std::fflush(out_) == 0 ? TCliRun::kFound : TCliRun::kError;
}

int TCliBackupCommands::Restore(const TCliCommandLine& command, TBackup& backup, const std::string& settingsPath) {
  // The name as given, or as --list-backups shows it with its escapes.
  const TBackupUnit* listed = hovrak::FindListedUnit(backup, *command.RestoreUnit);
  const std::string name = listed ? listed->Name : *command.RestoreUnit;
  // Changes of the index go to the settings file at once, under its lock.
  TSettingsBackupIndex index(settingsPath);
  backup.IndexStore = &index;

  const std::unique_ptr<TProgressLine> progress = TProgressLine::ForStream(err_, command.Quiet);
  const std::function<void()> clearProgress = [&progress] {
    if (progress) progress->Clear();
  };

  TBackupRestore restore(backup);
  bool aborted = false;
  restore.OnProcess = [&](TProcessType kind, const std::string& path, int i, int count) {
    if (*stopFlag_) throw EStoppedException();
    if (progress) progress->Update(kind, path, i, count);
  };
  InstallAnswers(restore, command, clearProgress, aborted);
  const TBackupAnswers answers{err_, settingsPath, command.GoOnWithoutBackup, clearProgress};
  answers.Install(backup);
  restore.OnBackupFailed = [answers](const TBackupReport& report) { return answers.BackupFailed(report); };

  TRestoreReport report;
  try {
    report = restore.Run(name);
  } catch (const std::exception& e) {
    clearProgress();
    std::fprintf(err_, "%s: cannot restore '%s': %s\n", kProgram, TextForStream(err_, name).c_str(), e.what());
    return TCliRun::kError;
  }
  clearProgress();

  if (!report.Found) {
    std::fprintf(err_, "%s: no backup unit named '%s' (see --list-backups)\n", kProgram,
                 TextForStream(err_, name).c_str());
    return TCliRun::kError;
  }
  if (report.RestoredBefore) return TCliRun::kError;
  if (report.BackupFailed) {
    std::fprintf(err_, "%s: no file was restored: the files it would overwrite could not be backed up\n", kProgram);
    return TCliRun::kError;
  }
  const bool failed = TellReport(report, backup, name, settingsPath, command.Quiet);
  if (report.Stopped) return *stopFlag_ && !aborted ? TCliRun::kInterrupted : TCliRun::kError;
  return failed ? TCliRun::kError : TCliRun::kFound;
}

void TCliBackupCommands::InstallAnswers(TBackupRestore& restore, const TCliCommandLine& command,
                                        const std::function<void()>& clearProgress, bool& aborted) const {
  // The answers outlive this call: they hold the restore, the command line and the
  // flag by address.
  const TBackupRestore* const run = &restore;
  const TCliCommandLine* const line = &command;
  bool* const abortedFlag = &aborted;
  restore.OnFileError = [this, run, line, clearProgress, abortedFlag](const std::string& path, TFileOperationResult,
                                                                      int error) {
    const TRestoreProblem problem = run->Problem;
    clearProgress();
    // Force where it can be forced; a linked folder is answered Force as well, so that
    // the restore reports the file as not restored rather than skipped by choice.
    const TDecision decision =
        hovrak::OnErrorDecision(line->OnError, IsForcible(problem) || problem == TRestoreProblem::LinkedFolder);
    std::string text = ProblemText(problem);
    if (error != 0) text += std::string(": ") + std::strerror(error);
    const char* outcome = decision == TDecision::Force   ? "restored anyway"
                          : decision == TDecision::Abort ? "stopping"
                                                         : "left as it is";
    if (decision == TDecision::Force && problem == TRestoreProblem::Link)
      outcome = "the link is replaced by the file; what it points to is left as it is";
    else if (decision == TDecision::Force && problem == TRestoreProblem::LinkedFolder) outcome = "not restored";
    std::fprintf(err_, "%s: '%s': %s (%s)\n", kProgram, TextForStream(err_, path).c_str(), text.c_str(), outcome);
    if (decision == TDecision::Abort) *abortedFlag = true;
    return decision;
  };
  restore.OnConfirmAgain = [this, line, clearProgress](const TBackupUnit& unit) {
    clearProgress();
    const bool again = line->OnError == TCliCommandLine::TOnError::Force;
    std::fprintf(err_, "%s: unit '%s' was restored on %s already%s\n", kProgram, TextForStream(err_, unit.Name).c_str(),
                 TimeText(unit.Restored).c_str(),
                 again ? "; restoring it again (--on-error force)" : " (--on-error force restores it again)");
    return again;
  };
  // Only a forced restore writes the files of a unit without records; skip and abort
  // answer each of its files themselves.
  restore.OnConfirmOldUnit = [line](const TBackupUnit&) {
    return line->RestoreOldUnit || line->OnError != TCliCommandLine::TOnError::Force;
  };
  if (command.AllowedBase) restore.AllowedBase = *command.AllowedBase;
}

bool TCliBackupCommands::TellReport(const TRestoreReport& report, const TBackup& backup, const std::string& name,
                                    const std::string& settingsPath, bool quiet) const {
  if (!quiet || report.Stopped || !report.Complete())
    std::fprintf(err_, "%s%s\n", MessageTable(report.Stopped ? TMsg::RestoreStoppedCli : TMsg::RestoreCompletedCli),
                 MessageText(TMsg::RestoreCounts, report.Restored, report.Unchanged, report.Skipped.size()).c_str());
  if (!report.Backup.UnitName.empty())
    std::fprintf(err_, "%s: the files it overwrote are kept in unit '%s' (--restore %s undoes this restore)\n",
                 kProgram, TextForStream(err_, report.Backup.UnitName).c_str(),
                 TextForStream(err_, report.Backup.UnitName).c_str());
  for (const std::string& entry : report.Refused)
    std::fprintf(err_, "%s: not restored: copy '%s': where it came from cannot be told safely\n", kProgram,
                 TextForStream(err_, entry).c_str());
  for (const TBackupFailure& missing : report.MissingCopies)
    std::fprintf(err_, "%s: not restored: '%s': its copy is missing or not a plain file (%s)\n", kProgram,
                 TextForStream(err_, missing.Path).c_str(), std::strerror(missing.Error));
  if (report.BaseRefused) {
    const TBackupUnit* unit = backup.FindUnit(name);
    const std::string base = unit ? unit->BaseDir : std::string();
    std::fprintf(err_,
                 "%s: unit '%s' holds no record of the replace that made it (an older version made it), and its "
                 "base folder '%s' is %s: nothing of it was written (--base '%s' allows that folder)\n",
                 kProgram, TextForStream(err_, name).c_str(), TextForStream(err_, base).c_str(),
                 base == "/" ? "the root folder" : "outside your home folder", TextForStream(err_, base).c_str());
  } else if (report.OldUnitDeclined) {
    std::fprintf(err_,
                 "%s: unit '%s' holds no record of the replace that made it (an older version made it), so a file "
                 "changed since cannot be told from one that was not: nothing of it was written "
                 "(--restore-old-unit writes its copies all the same)\n",
                 kProgram, TextForStream(err_, name).c_str());
  }
  for (const std::string& path : report.DamagedCopies)
    std::fprintf(err_, "%s: not restored: '%s': its copy is damaged (no longer as it was made)\n", kProgram,
                 TextForStream(err_, path).c_str());
  for (const std::string& path : report.Unreachable)
    std::fprintf(err_, "%s: not restored: '%s': %s\n", kProgram, TextForStream(err_, path).c_str(),
                 ProblemText(TRestoreProblem::LinkedFolder));
  for (const TBackupFailure& failure : report.WriteFailures)
    std::fprintf(err_, "%s: not restored: '%s': %s\n", kProgram, TextForStream(err_, failure.Path).c_str(),
                 std::strerror(failure.Error));
  for (const std::string& path : report.Skipped)
    std::fprintf(err_, "%s: skipped: '%s'\n", kProgram, TextForStream(err_, path).c_str());
  if (report.IndexError != 0)
    std::fprintf(err_, "%s: cannot record the restore in '%s': %s\n", kProgram,
                 TextForStream(err_, settingsPath).c_str(), std::strerror(report.IndexError));

  return !report.Refused.empty() || !report.MissingCopies.empty() || !report.WriteFailures.empty() ||
         !report.DamagedCopies.empty() || !report.Unreachable.empty() || report.OldUnitDeclined || report.BaseRefused ||
         report.IndexError != 0;
}
