#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <QTreeView>

#include "ui/PreviewDelegate.h"
#include "ui/PreviewModel.h"
#include "ui/frmConfirm.h"

namespace {

TPreviewRow Row(const char* file, const char* line, const char* prev, const char* hit, const char* replacement,
                const char* next) {
  return TPreviewRow{QString::fromUtf8(file), QString::fromUtf8(line),        QString::fromUtf8(prev),
                     QString::fromUtf8(hit),  QString::fromUtf8(replacement), QString::fromUtf8(next)};
}

// Pixels of a colour within the horizontal range of a column of a rendered view.
int CountColour(const QImage& image, int left, int right, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

}  // namespace

TEST(ConfirmList, FileLineAndBothLinesWithTheCountInTheCaption) {
  TfrmConfirm dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun - 置換結果の確認"));
  const QAbstractItemModel& model = dialog.Model();
  ASSERT_EQ(model.columnCount(), 4);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("ファイル名"));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("行"));
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("置換前"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("置換後"));
  EXPECT_FALSE(dialog.lsvConfirm->header()->sectionsClickable());

  dialog.SetRows({Row("議事録/12.txt", "3", "次回の", "会議", "会合", "は1月に開く。"),
                  Row("メモ.txt", "10", "", "会議", "", "の前に")});
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun - 置換結果の確認（2件）"));
  ASSERT_EQ(dialog.RowCount(), 2);
  EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("議事録/12.txt"));
  EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("3"));
  EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("次回の会議は1月に開く。"));
  EXPECT_EQ(model.index(0, 3).data().toString(), QStringLiteral("次回の会合は1月に開く。"));
  EXPECT_EQ(model.index(1, 3).data(TPreviewModel::PartsRole).toStringList(),
            (QStringList{QString(), QString(), QStringLiteral("の前に")}));
  // Read-only: rows cannot be edited.
  EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

  // The list is reused: a new preview replaces the rows.
  dialog.SetRows({});
  EXPECT_EQ(dialog.RowCount(), 0);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun - 置換結果の確認（0件）"));
}

TEST(ConfirmList, TheChangedPartIsMarkedInBothColumnsAlsoWhenTheLineIsLong) {
  TfrmConfirm dialog;
  const QString longPrev = QString(300, QChar(0x3042));  // far wider than the column
  dialog.SetRows({TPreviewRow{QStringLiteral("a.txt"), QStringLiteral("1"), longPrev, QStringLiteral("会議"),
                              QStringLiteral("打ち合わせ"), longPrev}});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTreeView& view = *dialog.lsvConfirm;
  const QImage image = view.viewport()->grab().toImage();
  const int beforeLeft = view.columnViewportPosition(TPreviewModel::BeforeColumn);
  const int afterLeft = view.columnViewportPosition(TPreviewModel::AfterColumn);
  const int afterRight = afterLeft + view.columnWidth(TPreviewModel::AfterColumn);
  EXPECT_GT(CountColour(image, beforeLeft, afterLeft, TPreviewDelegate::MarkColor(false)), 20);
  EXPECT_GT(CountColour(image, afterLeft, afterRight, TPreviewDelegate::MarkColor(true)), 20);
  EXPECT_EQ(CountColour(image, 0, beforeLeft, TPreviewDelegate::MarkColor(false)), 0);
}

TEST(ConfirmList, AHundredThousandRowsAreTakenAtOnce) {
  TfrmConfirm dialog;
  dialog.show();
  std::vector<TPreviewRow> rows(100000);
  for (int i = 0; i < 100000; ++i) rows[static_cast<std::size_t>(i)].Hit = QString::number(i);
  dialog.SetRows(std::move(rows));
  EXPECT_EQ(dialog.RowCount(), 100000);
  EXPECT_EQ(dialog.Model().index(99999, 2).data().toString(), QStringLiteral("99999"));
}
