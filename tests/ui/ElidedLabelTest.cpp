#include <gtest/gtest.h>

#include "ui/ElidedLabel.h"

TEST(ElidedLabel, ALongTextIsCutWithAnEllipsisAndKeptWhole) {
  TElidedLabel label;
  const QString text = QStringLiteral("置換が完了しました。（3ファイル 9箇所を書き換え、1ファイルをスキップ）");
  label.setText(text);
  label.resize(label.fontMetrics().horizontalAdvance(text) / 2, 20);
  EXPECT_EQ(label.text(), text);
  EXPECT_TRUE(label.ShownText().endsWith(QChar(0x2026))) << label.ShownText().toStdString();
  EXPECT_TRUE(text.startsWith(label.ShownText().chopped(1)));
  // It never asks for the room of its text.
  EXPECT_EQ(label.minimumSizeHint().width(), 0);
  label.resize(label.fontMetrics().horizontalAdvance(text) + 10, 20);
  EXPECT_EQ(label.ShownText(), text);
}
