#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTreeWidget>

#include "ui/frmConfirm.h"

TEST(ConfirmList, RowsBeforeAndAfter) {
  TfrmConfirm dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun - 置換結果の確認"));
  QTreeWidget* list = dialog.lsvConfirm;
  ASSERT_EQ(list->columnCount(), 2);
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("置換前"));
  EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("置換後"));
  EXPECT_EQ(list->columnWidth(0), 300);
  EXPECT_EQ(list->columnWidth(1), 300);
  EXPECT_FALSE(list->isSortingEnabled());
  EXPECT_FALSE(list->header()->sectionsClickable());

  dialog.Add(QStringLiteral("東京"), QStringLiteral("大阪"));
  dialog.AddRows({{QStringLiteral("b"), QStringLiteral("B")}, {QStringLiteral("c"), QStringLiteral("C")}});
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("東京"));
  EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("大阪"));
  EXPECT_EQ(list->topLevelItem(2)->text(0), QStringLiteral("c"));
  EXPECT_EQ(list->topLevelItem(2)->text(1), QStringLiteral("C"));
  // Read-only: rows cannot be edited.
  EXPECT_FALSE(list->topLevelItem(0)->flags() & Qt::ItemIsEditable);

  // The list is reused: a new preview starts empty.
  dialog.Clear();
  EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST(ConfirmList, HundredThousandRowsAreQuick) {
  TfrmConfirm dialog;
  dialog.show();
  std::vector<std::pair<QString, QString>> rows;
  rows.reserve(100000);
  for (int i = 0; i < 100000; ++i) rows.emplace_back(QString::number(i), QStringLiteral("置換%1").arg(i));
  QElapsedTimer clock;
  clock.start();
  dialog.AddRows(rows);
  const qint64 ms = clock.elapsed();
  EXPECT_EQ(dialog.lsvConfirm->topLevelItemCount(), 100000);
  RecordProperty("AddRowsMs", static_cast<int>(ms));
  // Generous for slow sanitizer builds; a row-by-row insert with repaints takes far longer.
  EXPECT_LT(ms, 5000);
  clock.restart();
  dialog.Clear();
  EXPECT_LT(clock.elapsed(), 5000);
}
