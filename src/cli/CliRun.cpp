#include "cli/CliRun.h"

#include <cerrno>
#include <cstring>

#include "cli/CliBackupCommands.h"
#include "cli/CliCommandLine.h"
#include "cli/CliSearchRun.h"
#include "cli/TerminalText.h"
#include "front/StartSaveJournal.h"
#include "text/Utf8Scan.h"

#ifndef MIRUN_VERSION
#define MIRUN_VERSION "unknown"
#endif

namespace {

const char* const kProgram = "mirun-cli";

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

int TCliRun::UsageError(std::FILE* err, const std::string& message) {
  std::fprintf(err, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
  return kError;
}

int TCliRun::Run(const std::vector<std::string>& args) {
  const TCliCommandLine command(args);
  if (!command.Error().empty()) return UsageError(err_, command.Error());
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
  return TCliSearchRun(command, out_, err_, stopFlag_).Run();
}
