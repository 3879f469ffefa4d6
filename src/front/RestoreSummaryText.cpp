#include "front/RestoreSummaryText.h"
#include "front/SystemErrorText.h"

#include <cstring>
#include <utility>
#include <vector>

#include "shared/MessageText.h"

namespace hovrak {

TRestoreSummary RestoreSummaryText(const TRestoreReport& report, const std::string& settingsPath, std::size_t listed,
                                   const std::string& baseDir) {
  // Each file left as it was against the user's wish, with why.
  std::vector<std::pair<std::string, std::string>> problems;
  for (const std::string& entry : report.Refused) problems.emplace_back(entry, MessageTable(TMsg::BaseUnsafe));
  for (const TBackupFailure& missing : report.MissingCopies)
    problems.emplace_back(missing.Path, MessageTable(TMsg::CopyMissing));
  for (const std::string& path : report.DamagedCopies) problems.emplace_back(path, MessageTable(TMsg::CopyDamaged));
  for (const std::string& path : report.Unreachable) problems.emplace_back(path, MessageTable(TMsg::FolderIsLink));
  for (const TBackupFailure& failure : report.WriteFailures)
    problems.emplace_back(failure.Path, SystemErrorText(failure.Error));

  TRestoreSummary summary;
  std::string& text = summary.Text;
  text = MessageTable(report.Stopped ? TMsg::RestoreStopped : TMsg::RestoreCompleted);
  text += "\n\n" + MessageText(TMsg::RestoredCount, report.Restored);
  text += "\n" + MessageText(TMsg::UnchangedCount, report.Unchanged);
  text += "\n" + MessageText(TMsg::SkippedCount, report.Skipped.size());
  if (!problems.empty()) {
    text += "\n" + MessageText(TMsg::NotRestoredCount, problems.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
      if (i == listed) {
        text += "\n" + MessageText(TMsg::MoreCount, problems.size() - listed);
        break;
      }
      text += "\n" + problems[i].first + "\n    （" + problems[i].second + "）";
    }
  }
  if (report.BaseRefused) {
    text += "\n\n";
    text += MessageText(TMsg::OldUnitBaseRefused, baseDir);
  } else if (report.OldUnitDeclined) {
    text += "\n\n";
    text += MessageTable(TMsg::OldUnitDeclined);
  }
  if (!report.Backup.UnitName.empty()) {
    text += "\n\n";
    text += MessageText(TMsg::UnitSaved, report.Backup.UnitName);
  }
  if (report.IndexError != 0) {
    text += "\n\n";
    text += MessageTable(TMsg::RestoreRecordFailed);
    text += "\n" + settingsPath + "\n    （" + SystemErrorText(report.IndexError) + "）";
  }
  summary.Problems = !problems.empty() || report.IndexError != 0 || report.BaseRefused || report.OldUnitDeclined;
  return summary;
}

}  // namespace hovrak
