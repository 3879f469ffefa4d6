#include "front/RestoreSummaryText.h"

#include <cstring>
#include <utility>
#include <vector>

#include <boost/format.hpp>

#include "shared/MessageTable.h"

namespace hovrak {

namespace {

std::string Count(int row, std::size_t n) { return (boost::format(MessageTable(row)) % n).str(); }

}  // namespace

TRestoreSummary RestoreSummaryText(const TRestoreReport& report, const std::string& settingsPath, std::size_t listed,
                                   const std::string& baseDir) {
  // Each file left as it was against the user's wish, with why.
  std::vector<std::pair<std::string, std::string>> problems;
  for (const std::string& entry : report.Refused) problems.emplace_back(entry, MessageTable(138));
  for (const TBackupFailure& missing : report.MissingCopies) problems.emplace_back(missing.Path, MessageTable(137));
  for (const std::string& path : report.DamagedCopies) problems.emplace_back(path, MessageTable(146));
  for (const std::string& path : report.Unreachable) problems.emplace_back(path, MessageTable(147));
  for (const TBackupFailure& failure : report.WriteFailures)
    problems.emplace_back(failure.Path, std::strerror(failure.Error));

  TRestoreSummary summary;
  std::string& text = summary.Text;
  text = MessageTable(report.Stopped ? 132 : 131);
  text += "\n\n" + Count(133, report.Restored);
  text += "\n" + Count(134, report.Unchanged);
  text += "\n" + Count(135, report.Skipped.size());
  if (!problems.empty()) {
    text += "\n" + Count(136, problems.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
      if (i == listed) {
        text += "\n" + Count(142, problems.size() - listed);
        break;
      }
      text += "\n" + problems[i].first + "\n    （" + problems[i].second + "）";
    }
  }
  if (report.BaseRefused) {
    text += "\n\n";
    text += (boost::format(MessageTable(149)) % baseDir).str();
  } else if (report.OldUnitDeclined) {
    text += "\n\n";
    text += MessageTable(150);
  }
  if (!report.Backup.UnitName.empty()) {
    text += "\n\n";
    text += (boost::format(MessageTable(139)) % report.Backup.UnitName).str();
  }
  if (report.IndexError != 0) {
    text += "\n\n";
    text += MessageTable(140);
    text += "\n" + settingsPath + "\n    （" + std::strerror(report.IndexError) + "）";
  }
  summary.Problems = !problems.empty() || report.IndexError != 0 || report.BaseRefused || report.OldUnitDeclined;
  return summary;
}

}  // namespace hovrak
