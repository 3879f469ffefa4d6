#include "front/ReplaceSummaryText.h"

#include <cstring>
#include <utility>
#include <vector>

#include <boost/format.hpp>

#include "core/FileSet.h"
#include "core/MirunApp.h"
#include "front/BackupUnitLines.h"
#include "shared/MessageTable.h"

namespace hovrak {

namespace {

// Why a file the user chose to skip was not written.
std::string SkipReason(TFileOperationResult result) {
  switch (result) {
    case TFileOperationResult::ModifiedSinceSearch: return "検索後に変更されていました";
    case TFileOperationResult::BinaryFile: return "バイナリファイルのようです";
    case TFileOperationResult::CharCodeMismatch: return "文字コードが一致しません";
    default: return "スキップを選びました";
  }
}

// Why a file could not be read or written: the system's reason when it gave one.
std::string FailureReason(const TReplaceFailure& failure) {
  if (failure.Error != 0) return std::strerror(failure.Error);
  if (failure.Result == TFileOperationResult::TooLarge) return "ファイルが大きすぎます";
  return "ファイルを読み書きできません";
}

void AppendFiles(std::string& text, const std::vector<std::pair<std::string, std::string>>& files, std::size_t listed) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i == listed) {
      text += "\n" + (boost::format(MessageTable(142)) % (files.size() - listed)).str();
      break;
    }
    text += "\n" + files[i].first + "\n    （" + files[i].second + "）";
  }
}

}  // namespace

TReplaceSummary ReplaceSummaryText(int outcome, const TFileSet& set, std::size_t listed) {
  std::vector<std::pair<std::string, std::string>> skipped;
  std::vector<std::pair<std::string, std::string>> failed;
  for (const TReplaceFailure& failure : set.Failures) {
    if (!failure.IsError()) {
      skipped.emplace_back(failure.Path, SkipReason(failure.Result));
      continue;
    }
    std::string reason = FailureReason(failure);
    if (!failure.RescuePath.empty()) reason += "。以前の内容は " + failure.RescuePath + " に残しています";
    failed.emplace_back(failure.Path, std::move(reason));
  }
  const TBackupReport& backup = set.LastBackup;

  TReplaceSummary summary;
  summary.Problems = !skipped.empty() || !failed.empty() || outcome == ReplaceBackupFailed;
  summary.Pruned = !backup.Pruned.empty();
  const std::string head = MessageTable(outcome == ReplaceCompleted ? 63 : 62);
  if (outcome == ReplaceBackupFailed) {
    const std::string why = "バックアップを作成できなかったため、どのファイルも書き換えていません。";
    summary.Status = head + why;
    summary.Text = head + "\n\n" + why;
    return summary;
  }

  // The status line: what was written, then what was not.
  std::vector<std::string> parts;
  parts.push_back(std::to_string(set.WrittenFiles.size()) + "ファイル " + std::to_string(set.ReplacedPlaces) +
                  "箇所を書き換え");
  if (!skipped.empty()) parts.push_back(std::to_string(skipped.size()) + "ファイルをスキップ");
  if (!failed.empty()) parts.push_back(std::to_string(failed.size()) + "ファイルは書き換えられませんでした");
  if (summary.Pruned) parts.push_back("古いバックアップ" + std::to_string(backup.Pruned.size()) + "件を削除");
  summary.Status = head + "（";
  for (std::size_t i = 0; i < parts.size(); ++i) summary.Status += (i ? "、" : "") + parts[i];
  summary.Status += "）";

  std::string& text = summary.Text;
  text = head + "\n\n書き換えたファイル: " + std::to_string(set.WrittenFiles.size()) + "（" +
         std::to_string(set.ReplacedPlaces) + "箇所）";
  if (!skipped.empty()) {
    text += "\nスキップしたファイル: " + std::to_string(skipped.size());
    AppendFiles(text, skipped, listed);
  }
  if (!failed.empty()) {
    text += "\n書き換えられなかったファイル: " + std::to_string(failed.size());
    AppendFiles(text, failed, listed);
  }
  if (!backup.UnitName.empty()) {
    text += "\n\n" + (boost::format(MessageTable(139)) % backup.UnitName).str();
    if (!backup.Failures.empty())
      text += "\nバックアップできなかったファイル: " + std::to_string(backup.Failures.size());
  } else if (backup.Declined) {
    text += "\n\nバックアップは作成していません。";
  }
  if (summary.Pruned) text += "\n\n" + PrunedUnitsText(backup.Pruned);
  return summary;
}

}  // namespace hovrak
