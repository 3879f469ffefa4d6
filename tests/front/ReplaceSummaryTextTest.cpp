#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "core/FileSet.h"
#include "core/MirunApp.h"
#include "front/ReplaceSummaryText.h"
#include "front/SystemErrorText.h"
#include "shared/MessageTable.h"

using hovrak::ReplaceSummaryText;

namespace {

TFileSet Written(int places, std::initializer_list<std::string> files) {
  TFileSet set;
  set.ReplacedPlaces = places;
  set.WrittenFiles = files;
  return set;
}

}  // namespace

TEST(ReplaceSummaryText, ACleanRunSaysWhatWasWrittenAndNeedsNoMessage) {
  TFileSet set = Written(12, {"/w/a.txt", "/w/b.txt", "/w/c.txt"});
  set.LastBackup.UnitName = "20261208_w_1";
  const auto summary = ReplaceSummaryText(ReplaceCompleted, set);
  EXPECT_EQ(summary.Status, "置換が完了しました。（3ファイル 12箇所を書き換え）");
  EXPECT_FALSE(summary.Problems);
  EXPECT_FALSE(summary.Pruned);
  EXPECT_NE(summary.Text.find("書き換えたファイル: 3（12箇所）"), std::string::npos);
  EXPECT_NE(summary.Text.find("「20261208_w_1」"), std::string::npos);
}

TEST(ReplaceSummaryText, SkippedAndFailedFilesAreNamedWithWhy) {
  TFileSet set = Written(1, {"/w/a.txt"});
  set.Failures.push_back({"/w/changed.txt", TFileOperationResult::ModifiedSinceSearch, 0, false, ""});
  set.Failures.push_back({"/w/locked.txt", TFileOperationResult::OpenFailed, EACCES, true, ""});
  set.Failures.push_back({"/w/big.txt", TFileOperationResult::TooLarge, 0, false, ""});
  set.Failures.push_back({"/w/hard.txt", TFileOperationResult::OpenFailed, ENOSPC, true, "/w/hard.txt.keep"});
  const auto summary = ReplaceSummaryText(ReplaceStopped, set);
  EXPECT_TRUE(summary.Problems);
  EXPECT_EQ(summary.Status,
            std::string(MessageTable(TMsg::ReplaceStopped)) +
                "（1ファイル 1箇所を書き換え、1ファイルをスキップ、3ファイルは書き換えられませんでした）");
  const std::string& text = summary.Text;
  EXPECT_NE(text.find("スキップしたファイル: 1\n/w/changed.txt\n    （検索後に変更されていました）"), std::string::npos)
      << text;
  EXPECT_NE(
      text.find("書き換えられなかったファイル: 3\n/w/locked.txt\n    （" + hovrak::SystemErrorText(EACCES) + "）"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("/w/big.txt\n    （ファイルが大きすぎます）"), std::string::npos) << text;
  EXPECT_NE(text.find("以前の内容は /w/hard.txt.keep に残しています"), std::string::npos) << text;

  // Many files: the first ones named, the rest counted.
  TFileSet many = Written(0, {});
  for (int i = 0; i < 25; ++i)
    many.Failures.push_back({"/w/" + std::to_string(i), TFileOperationResult::BinaryFile, 0, false, ""});
  const std::string manyText = ReplaceSummaryText(ReplaceCompleted, many, 20).Text;
  EXPECT_NE(manyText.find("/w/19\n"), std::string::npos);
  EXPECT_EQ(manyText.find("/w/20\n"), std::string::npos);
  EXPECT_NE(manyText.find("ほか 5 件"), std::string::npos);
}

TEST(ReplaceSummaryText, PrunedUnitsAreNamedWithTheirDates) {
  TFileSet set = Written(2, {"/w/a.txt"});
  set.LastBackup.UnitName = "20261208_w_1";
  set.LastBackup.Pruned.push_back({"20261201_w_1", boost::posix_time::time_from_string("2026-12-01 09:05:07"), "/w"});
  const auto summary = ReplaceSummaryText(ReplaceCompleted, set);
  EXPECT_TRUE(summary.Pruned);
  EXPECT_FALSE(summary.Problems);
  EXPECT_EQ(summary.Status, "置換が完了しました。（1ファイル 2箇所を書き換え、古いバックアップ1件を削除）");
  EXPECT_NE(summary.Text.find("古いバックアップ1件を削除しました。これらは元に戻せません。\n"
                              "  2026年12月1日 9:05:07  /w"),
            std::string::npos)
      << summary.Text;
}

TEST(ReplaceSummaryText, NothingWrittenForWantOfABackupSaysSo) {
  const auto summary = ReplaceSummaryText(ReplaceBackupFailed, Written(0, {}));
  EXPECT_TRUE(summary.Problems);
  EXPECT_EQ(summary.Status, std::string(MessageTable(TMsg::ReplaceStopped)) +
                                "バックアップを作成できなかったため、どのファイルも書き換えていません。");
  TFileSet declined = Written(1, {"/w/a.txt"});
  declined.LastBackup.Declined = true;
  EXPECT_NE(ReplaceSummaryText(ReplaceCompleted, declined).Text.find("バックアップは作成していません。"),
            std::string::npos);
}
