#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shared/StoppedException.h"
#include "ui/frmProcess.h"

namespace {

// Calls StopCheck as a run does, until it raises; returns false when it never did.
bool RunUntilStopped(TfrmProcess& dialog, int limitMs) {
  QElapsedTimer clock;
  clock.start();
  try {
    while (clock.elapsed() < limitMs) dialog.StopCheck();
  } catch (const EStoppedException&) {
    return true;
  }
  return false;
}

}  // namespace

TEST(ProgressDialog, ShowsNumbersAndBar) {
  TfrmProcess dialog;
  dialog.show();
  EXPECT_EQ(dialog.lblMsg->text(), QStringLiteral("準備中..."));
  EXPECT_EQ(dialog.lblSubMsg->text(), QString());
  EXPECT_EQ(dialog.lblN->text(), QStringLiteral("0/0"));
  EXPECT_EQ(dialog.pgbProg->value(), 0);

  dialog.Update(QStringLiteral("検索中..."), QStringLiteral("sub/a.txt"), 2, 3);
  EXPECT_EQ(dialog.lblMsg->text(), QStringLiteral("検索中..."));
  EXPECT_EQ(dialog.lblSubMsg->text(), QStringLiteral("sub/a.txt"));
  EXPECT_EQ(dialog.lblN->text(), QStringLiteral("2/3"));
  EXPECT_EQ(dialog.pgbProg->value(), 66);

  // Listing and backing up report no count: "0/0" and an empty bar.
  dialog.Update(QStringLiteral("ファイルをリストアップ中..."), QString(), 0, 0);
  EXPECT_EQ(dialog.lblN->text(), QStringLiteral("0/0"));
  EXPECT_EQ(dialog.pgbProg->value(), 0);
  dialog.Update(QStringLiteral("置換中..."), QString(), 7, 7);
  EXPECT_EQ(dialog.pgbProg->value(), 100);
  dialog.Update(QStringLiteral("置換中..."), QString(), 1, 7);
  EXPECT_EQ(dialog.pgbProg->value(), 14);

  // Showing again starts from the preparing state.
  dialog.hide();
  dialog.show();
  EXPECT_EQ(dialog.lblMsg->text(), QStringLiteral("準備中..."));
  EXPECT_EQ(dialog.lblN->text(), QStringLiteral("0/0"));
  EXPECT_EQ(dialog.pgbProg->value(), 0);
  // The remembered texts were reset too: the same main text as before the hide is
  // shown again rather than skipped as unchanged.
  dialog.Update(QStringLiteral("置換中..."), QStringLiteral("b.txt"), 0, 1);
  EXPECT_EQ(dialog.lblMsg->text(), QStringLiteral("置換中..."));
}

TEST(ProgressDialog, EscStopAndCloseRaiseAtTheNextStopCheck) {
  TfrmProcess dialog;
  dialog.show();
  EXPECT_NO_THROW(dialog.StopCheck());

  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible()) << "Esc only stops; the run hides the dialog";
  EXPECT_THROW(dialog.StopCheck(), EStoppedException);

  // A stop left over from the last run is forgotten at the next showing.
  dialog.hide();
  dialog.show();
  EXPECT_FALSE(dialog.StopRequested());
  EXPECT_NO_THROW(dialog.StopCheck());

  dialog.btnStop->click();
  EXPECT_THROW(dialog.StopCheck(), EStoppedException);

  dialog.hide();
  dialog.show();
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_THROW(dialog.StopCheck(), EStoppedException);
}

// StopCheck pumps events only every few milliseconds; a click that arrives as an
// event in between must still stop a busy run well within 100 ms.
TEST(ProgressDialog, ThrottledStopCheckStopsWithin100ms) {
  TfrmProcess dialog;
  dialog.show();
  for (const bool useEsc : {false, true}) {
    dialog.hide();
    dialog.show();
    QElapsedTimer pressed;
    QTimer::singleShot(30, &dialog, [&] {
      pressed.start();
      if (useEsc) QTest::keyClick(&dialog, Qt::Key_Escape);
      else QTest::mouseClick(dialog.btnStop, Qt::LeftButton);
    });
    ASSERT_TRUE(RunUntilStopped(dialog, 5000)) << (useEsc ? "Esc" : "Stop") << " was lost";
    ASSERT_TRUE(pressed.isValid());
    EXPECT_LT(pressed.elapsed(), 100);
  }
}

TEST(ProgressDialog, HasNoCloseButtonAndStaysOnTop) {
  TfrmProcess dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun"));
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog.btnStop->text(), QStringLiteral("中止"));
}
