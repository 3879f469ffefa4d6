// Qt's own texts are Japanese like the program's: the buttons of every question and
// the file dialogs, and the help names the buttons as the user sees them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "ui/frmMain.h"

TEST(QtTranslations, QuestionButtonsAndFileDialogsAreJapanese) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Mirun"), QStringLiteral("？"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  const QString yes = box.button(QMessageBox::Yes)->text();
  const QString no = box.button(QMessageBox::No)->text();
  EXPECT_TRUE(yes.startsWith(QStringLiteral("はい"))) << yes.toStdString();
  EXPECT_TRUE(no.startsWith(QStringLiteral("いいえ"))) << no.toStdString();
  EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));

  // The help tells the user to choose 「いいえ」: the button says just that.
  QFile help(TfrmMain::HelpFilePath());
  ASSERT_TRUE(help.open(QIODevice::ReadOnly));
  const QString page = QString::fromUtf8(help.readAll());
  QString shown = no;
  shown.remove(QStringLiteral("(&N)"));
  EXPECT_TRUE(page.contains(QStringLiteral("「") + shown + QStringLiteral("」")));

  QFileDialog dialog(nullptr, QStringLiteral("対象ファイルの参照"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
  ASSERT_NE(fileName, nullptr);
  EXPECT_TRUE(fileName->text().contains(QStringLiteral("ファイル名"))) << fileName->text().toStdString();
  const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
  ASSERT_NE(lookIn, nullptr);
  EXPECT_FALSE(lookIn->text().contains(QStringLiteral("Look in"))) << lookIn->text().toStdString();
  const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(buttons, nullptr);
  for (const QAbstractButton* button : buttons->buttons())
    EXPECT_NE(button->text().at(0).unicode() < 0x80, true) << button->text().toStdString();
}
