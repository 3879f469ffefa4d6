#include "cli/BackupAnswers.h"

#include <cstring>

#include "cli/TerminalText.h"
#include "shared/MessageText.h"

namespace {
const char* const kProgram = "mirun-cli";
}

void TBackupAnswers::Install(TBackup& backup) const {
  const TBackupAnswers self = *this;
  backup.OnConfirmSize = [self](std::uint64_t total) {
    if (self.ClearProgress) self.ClearProgress();
    std::fprintf(self.Err, "%s%s\n", MessageText(TMsg::BackupSizeTotal, TBackup::SizeText(total)).c_str(),
                 MessageTable(TMsg::BackupGoingOn));
    return true;
  };
  backup.OnConfirmDelete = [](const TBackup::TUnitPointers&) { return false; };
}

bool TBackupAnswers::BackupFailed(const TBackupReport& report) const {
  if (ClearProgress) ClearProgress();
  for (const TBackupFailure& failure : report.Failures)
    std::fprintf(Err, "%s: cannot back up '%s': %s\n", kProgram, TextForStream(Err, failure.Path).c_str(),
                 std::strerror(failure.Error));
  if (report.IndexError != 0)
    std::fprintf(Err, "%s: cannot record the backup in '%s': %s\n", kProgram, TextForStream(Err, SettingsPath).c_str(),
                 std::strerror(report.IndexError));
  if (!GoOnWithoutBackup) return false;
  std::fprintf(Err, "%s: going on without the backup (--on-backup-error continue)\n", kProgram);
  return true;
}
