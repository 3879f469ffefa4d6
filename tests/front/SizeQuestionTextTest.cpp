#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "backup/Backup.h"
#include "front/SizeQuestionText.h"

TEST(SizeQuestionTextTest, SizeInItsUnitInsideTheQuestion) {
  EXPECT_EQ(hovrak::SizeQuestionText(3145728), "置換されるファイルの合計が3.00MBあります。\nバックアップしますか？");
  EXPECT_EQ(hovrak::SizeQuestionText(500), "置換されるファイルの合計が500バイトあります。\nバックアップしますか？");
  EXPECT_EQ(hovrak::SizeQuestionText(150000), "置換されるファイルの合計が146KBあります。\nバックアップしますか？");
}

TEST(SizeQuestionTextTest, NamesTheOlderUnitsThatWillBeDeletedWithTheirDates) {
  TBackup backup;
  std::vector<std::unique_ptr<TBackupUnit>> units;
  std::vector<const TBackupUnit*> doomed;
  for (int i = 0; i < 12; ++i) {
    units.push_back(std::make_unique<TBackupUnit>(&backup));
    units.back()->Time = boost::posix_time::time_from_string("2026-12-01 09:05:07") + boost::posix_time::hours(24 * i);
    units.back()->BaseDir = "/home/u/src";
    doomed.push_back(units.back().get());
  }
  const std::string text = hovrak::SizeQuestionText(2u * 1073741824u, {doomed[0], doomed[1]});
  EXPECT_EQ(text,
            "置換されるファイルの合計が2.00GBあります。\n"
            "次の古いバックアップ2件を削除して場所を空けます。\n"
            "削除したバックアップは元に戻せません。\n"
            "  2026年12月1日 9:05:07  /home/u/src\n"
            "  2026年12月2日 9:05:07  /home/u/src\n"
            "バックアップしますか？");
  // Many units: the first ten by date, the rest counted.
  const std::string many = hovrak::SizeQuestionText(2u * 1073741824u, doomed);
  EXPECT_NE(many.find("古いバックアップ12件を削除"), std::string::npos);
  EXPECT_NE(many.find("2026年12月10日"), std::string::npos);
  EXPECT_EQ(many.find("2026年12月11日"), std::string::npos);
  EXPECT_NE(many.find("  ほか 2 件\n"), std::string::npos);
}
