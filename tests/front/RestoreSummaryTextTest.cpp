#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "front/RestoreSummaryText.h"
#include "front/SystemErrorText.h"

using hovrak::RestoreSummaryText;

TEST(RestoreSummaryTextTest, CountsAndTheUnitThatUndoesTheRestore) {
  TRestoreReport report;
  report.Found = true;
  report.Restored = 3;
  report.Unchanged = 1;
  report.Skipped = {"/w/b.txt"};
  report.Backup.UnitName = "20261209_w_1";
  const hovrak::TRestoreSummary summary = RestoreSummaryText(report, "/home/u/Mirun.kel");
  EXPECT_EQ(summary.Text,
            "元に戻しました。\n\n書き戻したファイル: 3\n置換前と同じだったファイル: 1\nスキップしたファイル: 1\n\n"
            "書き換える前のファイルはバックアップ「20261209_w_1」に保存しました。\n"
            "これを元に戻すと、今の操作を取り消せます。");
  EXPECT_FALSE(summary.Problems);

  report.Stopped = true;
  report.Backup.UnitName.clear();
  EXPECT_EQ(RestoreSummaryText(report, "").Text.substr(0, std::string("元に戻すのを中止しました。").size()),
            "元に戻すのを中止しました。");
}

TEST(RestoreSummaryTextTest, NamesEachProblemFileUpToTheLimit) {
  TRestoreReport report;
  report.Found = true;
  report.Refused = {"x~1/a.txt"};
  report.MissingCopies = {{"/w/gone.txt", ENOENT}};
  report.WriteFailures = {{"/w/ro.txt", EACCES}, {"/w/full.txt", ENOSPC}};
  report.IndexError = EROFS;
  const hovrak::TRestoreSummary all = RestoreSummaryText(report, "/home/u/Mirun.kel");
  EXPECT_TRUE(all.Problems);
  EXPECT_NE(all.Text.find("元に戻せなかったファイル: 4"), std::string::npos) << all.Text;
  EXPECT_NE(all.Text.find("\nx~1/a.txt\n    （元の場所を安全に決められません）"), std::string::npos) << all.Text;
  EXPECT_NE(all.Text.find("\n/w/gone.txt\n    （バックアップのコピーがありません）"), std::string::npos) << all.Text;
  EXPECT_NE(all.Text.find("\n/w/ro.txt\n    （" + hovrak::SystemErrorText(EACCES) + "）"), std::string::npos);
  EXPECT_NE(all.Text.find("/w/full.txt"), std::string::npos);
  EXPECT_NE(all.Text.find("設定ファイルに書き込めませんでした。\n/home/u/Mirun.kel\n    （" +
                          hovrak::SystemErrorText(EROFS) + "）"),
            std::string::npos)
      << all.Text;

  const hovrak::TRestoreSummary two = RestoreSummaryText(report, "/home/u/Mirun.kel", 2);
  EXPECT_NE(two.Text.find("/w/gone.txt"), std::string::npos);
  EXPECT_EQ(two.Text.find("/w/ro.txt"), std::string::npos);
  EXPECT_NE(two.Text.find("\nほか 2 件"), std::string::npos) << two.Text;
}
