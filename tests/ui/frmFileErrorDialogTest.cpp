#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ScriptedDialogs.h"
#include "front/FileErrorQuestion.h"
#include "ui/frmFileErrorDialog.h"

namespace {

// Shows the dialog as the active window, so keys go where a user's would.
void ShowActive(QDialog& dialog) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

}  // namespace

TEST(FileErrorDialog, ForcibleAndUnforcibleButtonSets) {
  TfrmFileErrorDialog forcible(QStringLiteral("m"), true);
  EXPECT_FALSE(forcible.btnSkip->isHidden());
  EXPECT_FALSE(forcible.btnForceAll->isHidden());
  EXPECT_FALSE(forcible.btnForce->isHidden());
  EXPECT_TRUE(forcible.btnRetry->isHidden());
  EXPECT_FALSE(forcible.btnAbort->isHidden());

  TfrmFileErrorDialog unforcible(QStringLiteral("m"), false);
  EXPECT_FALSE(unforcible.btnSkip->isHidden());
  EXPECT_FALSE(unforcible.btnForceAll->isHidden());
  EXPECT_TRUE(unforcible.btnForce->isHidden());
  EXPECT_FALSE(unforcible.btnRetry->isHidden());
  EXPECT_FALSE(unforcible.btnAbort->isHidden());

  EXPECT_EQ(forcible.windowTitle(), QStringLiteral("Mirun"));
  EXPECT_FALSE(forcible.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(forcible.btnSkip->text(), QStringLiteral("スキップ(&S)"));
  EXPECT_EQ(forcible.findChild<QPushButton*>("btnForceAll")->text(), QStringLiteral("全てスキップ(&A)"));
  EXPECT_EQ(forcible.btnForce->text(), QStringLiteral("置換を強行(&F)"));
  EXPECT_EQ(unforcible.btnRetry->text(), QStringLiteral("再試行(&R)"));
  EXPECT_EQ(forcible.btnAbort->text(), QStringLiteral("中止(&C)"));
  for (auto* button : forcible.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
    EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
  }
}

TEST(FileErrorDialog, EachButtonGivesItsAnswer) {
  struct TCase {
    const char* Button;
    bool Forcible;
    int Answer;
  };
  for (const TCase& c : {TCase{"btnSkip", true, hovrak::FileErrorSkip}, TCase{"btnForceAll", true, 10},
                         TCase{"btnForce", true, 7}, TCase{"btnRetry", false, 4}, TCase{"btnAbort", false, 3}}) {
    TfrmFileErrorDialog dialog(QStringLiteral("m"), c.Forcible);
    dialog.show();
    dialog.findChild<QPushButton*>(c.Button)->click();
    EXPECT_EQ(dialog.result(), c.Answer) << c.Button;
    EXPECT_FALSE(dialog.isVisible()) << c.Button;
  }
  EXPECT_EQ(hovrak::FileErrorSkip, 6);
}

TEST(FileErrorDialog, EnterPressesTheFocusedButtonSkipFirst) {
  {
    TfrmFileErrorDialog dialog(QStringLiteral("m"), true);
    ShowActive(dialog);
    ASSERT_EQ(QApplication::focusWidget(), dialog.btnSkip);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), 6);
  }
  {
    // Tab order Skip, Skip all, Force/Retry, Abort; Enter follows the focus.
    TfrmFileErrorDialog dialog(QStringLiteral("m"), false);
    ShowActive(dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog.btnForceAll);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog.btnRetry);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.result(), 4);
  }
  {
    TfrmFileErrorDialog dialog(QStringLiteral("m"), true);
    ShowActive(dialog);
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog.btnAbort);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), 3);
  }
}

// Esc (or a system close) gives none of the five answers; the run takes it as abort.
TEST(FileErrorDialog, EscapeGivesNoneOfTheAnswers) {
  TfrmFileErrorDialog dialog(QStringLiteral("m"), true);
  ShowActive(dialog);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  for (const int answer : {3, 4, 6, 7, 10}) EXPECT_NE(dialog.result(), answer);
  EXPECT_EQ(hovrak::DecisionFromAnswer(dialog.result()), TDecision::Abort);
}

TEST(FileErrorDialog, ShowBeepsAndAsksThroughTheSeam) {
  TScriptedDialogs dialogs;
  // A path may hold characters that look like markup; it is shown as it stands.
  const QString message =
      QStringLiteral("以下のファイルを開けません。\nこのファイルをスキップしますか？\n\n/tmp/<b>x</b>.txt");
  QString shown;
  bool retryOffered = false;
  dialogs.OnExec = [&](QDialog& dialog) {
    EXPECT_EQ(dialogs.Beeps, 1) << "the sound comes before the dialog";
    auto* label = dialog.findChild<QLabel*>("lblMessage");
    shown = label->text();
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    retryOffered = !dialog.findChild<QPushButton*>("btnRetry")->isHidden();
    dialog.findChild<QPushButton*>("btnForceAll")->click();
    return dialog.result();
  };
  EXPECT_EQ(TfrmFileErrorDialog::ShowFileErrorDialog(nullptr, message, false), 10);
  EXPECT_EQ(shown, message);
  EXPECT_TRUE(retryOffered);
  EXPECT_EQ(dialogs.ExecTitles, std::vector<QString>{QStringLiteral("Mirun")});
}
