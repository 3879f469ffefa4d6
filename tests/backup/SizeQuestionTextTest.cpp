#include <gtest/gtest.h>

#include "backup/SizeQuestionText.h"

TEST(SizeQuestionTextTest, SizeInItsUnitInsideTheQuestion) {
  EXPECT_EQ(hovrak::SizeQuestionText(3145728), "置換されるファイルの合計が3.00MBあります。\nバックアップしますか？");
  EXPECT_EQ(hovrak::SizeQuestionText(500), "置換されるファイルの合計が500バイトあります。\nバックアップしますか？");
  EXPECT_EQ(hovrak::SizeQuestionText(150000), "置換されるファイルの合計が146KBあります。\nバックアップしますか？");
}
