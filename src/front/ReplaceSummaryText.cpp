#include "front/ReplaceSummaryText.h"
#include "front/SystemErrorText.h"

#include <cstring>
#include <utility>
#include <vector>

#include "core/FileSet.h"
#include "core/MirunApp.h"
#include "front/BackupUnitLines.h"
#include "shared/MessageText.h"

namespace hovrak {

namespace {

// Why a file the user chose to skip was not written.
std::string SkipReason(TFileOperationResult result) {
  switch (result) {
    case TFileOperationResult::ModifiedSinceSearch: return MessageTable(TMsg::SkipModified);
    case TFileOperationResult::BinaryFile: return MessageTable(TMsg::SkipBinary);
    case TFileOperationResult::CharCodeMismatch: return MessageTable(TMsg::SkipCharCode);
    default: return MessageTable(TMsg::SkipChosen);
  }
}

// Why a file could not be read or written: the system's reason when it gave one.
std::string FailureReason(const TReplaceFailure& failure) {
  if (failure.Error != 0) return SystemErrorText(failure.Error);
  if (failure.Result == TFileOperationResult::TooLarge) return MessageTable(TMsg::FailTooLarge);
  return MessageTable(TMsg::FailReadWrite);
}

void AppendFiles(std::string& text, const std::vector<std::pair<std::string, std::string>>& files, std::size_t listed) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i == listed) {
      text += "\n" + MessageText(TMsg::MoreCount, files.size() - listed);
      break;
    }
    text += "\n" + files[i].first + "\n    （" + files[i].second + "）";
  }
}

}  // namespace

TMsg ReplaceEndRow(int outcome) { return outcome == ReplaceCompleted ? TMsg::ReplaceCompleted : TMsg::ReplaceStopped; }

TReplaceSummary ReplaceSummaryText(int outcome, const TFileSet& set, std::size_t listed) {
  std::vector<std::pair<std::string, std::string>> skipped;
  std::vector<std::pair<std::string, std::string>> failed;
  for (const TReplaceFailure& failure : set.Failures) {
    if (!failure.IsError()) {
      skipped.emplace_back(failure.Path, SkipReason(failure.Result));
      continue;
    }
    std::string reason = FailureReason(failure);
    if (!failure.RescuePath.empty()) reason += "。" + MessageText(TMsg::RescueKept, failure.RescuePath);
    failed.emplace_back(failure.Path, std::move(reason));
  }
  const TBackupReport& backup = set.LastBackup;

  TReplaceSummary summary;
  summary.Problems = !skipped.empty() || !failed.empty() || outcome == ReplaceBackupFailed;
  summary.Pruned = !backup.Pruned.empty();
  const std::string head = MessageTable(ReplaceEndRow(outcome));
  if (outcome == ReplaceBackupFailed) {
    const std::string why = MessageTable(TMsg::NothingWrittenNoBackup);
    summary.Status = head + why;
    summary.Text = head + "\n\n" + why;
    return summary;
  }

  // The status line: what was written, then what was not.
  std::vector<std::string> parts;
  parts.push_back(MessageText(TMsg::StatusWritten, set.WrittenFiles.size(), set.ReplacedPlaces));
  if (!skipped.empty()) parts.push_back(MessageText(TMsg::StatusSkipped, skipped.size()));
  if (!failed.empty()) parts.push_back(MessageText(TMsg::StatusFailed, failed.size()));
  if (summary.Pruned) parts.push_back(MessageText(TMsg::StatusPruned, backup.Pruned.size()));
  summary.Status = head + "（";
  for (std::size_t i = 0; i < parts.size(); ++i) summary.Status += (i ? "、" : "") + parts[i];
  summary.Status += "）";

  std::string& text = summary.Text;
  text = head + "\n\n" + MessageText(TMsg::WrittenCount, set.WrittenFiles.size(), set.ReplacedPlaces);
  if (!skipped.empty()) {
    text += "\n" + MessageText(TMsg::SkippedCount, skipped.size());
    AppendFiles(text, skipped, listed);
  }
  if (!failed.empty()) {
    text += "\n" + MessageText(TMsg::NotWrittenCount, failed.size());
    AppendFiles(text, failed, listed);
  }
  if (!backup.UnitName.empty()) {
    text += "\n\n" + MessageText(TMsg::UnitSaved, backup.UnitName);
    if (!backup.Failures.empty()) text += "\n" + MessageText(TMsg::NotBackedUpCount, backup.Failures.size());
  } else if (backup.Declined) {
    text += "\n\n";
    text += MessageTable(TMsg::NoBackupMade);
  }
  if (summary.Pruned) text += "\n\n" + PrunedUnitsText(backup.Pruned);
  return summary;
}

}  // namespace hovrak
