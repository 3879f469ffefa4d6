#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>

#include "ScriptedDialogs.h"
#include "settings/Option.h"
#include "ui/frmMultiLineEdit.h"

namespace {

const QString kQuestion = QStringLiteral(
    "複数行編集をするには、オプションの\n"
    "[\\n、\\tなどを使う]をON、[行単位で検索]をOFFに\n"
    "する必要があります。これらのオプションを設定しますか？");

}  // namespace

TEST(MultiLineEdit, RoundTripWithoutQuestion) {
  TScriptedDialogs dialogs;
  TOption option;
  option.Escape = true;
  option.ByLine = false;
  QString shown;
  bool allSelected = false;
  dialogs.OnExec = [&](QDialog& dialog) {
    auto* memo = dialog.findChild<QPlainTextEdit*>("memMain");
    shown = memo->toPlainText();
    allSelected = memo->textCursor().selectedText().size() == shown.size();
    memo->setPlainText(QStringLiteral("一行目\n二行目\tタブ\n"));
    return int(QDialog::Rejected);  // there is no cancel: closing keeps the edits
  };
  int changed = 0;
  const QString result = TfrmMultiLineEdit::Edit(nullptr, option, QStringLiteral("検索文字列の編集"),
                                                 QStringLiteral("a\\nb\\\\nc"), [&] { ++changed; });
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(changed, 0);
  ASSERT_EQ(dialogs.ExecTitles.size(), 1u);
  EXPECT_EQ(dialogs.ExecTitles[0], QStringLiteral("検索文字列の編集"));
  // \n shows as a line break; an escaped backslash before n stays as typed.
  EXPECT_EQ(shown, QStringLiteral("a\nb\\\\nc"));
  EXPECT_TRUE(allSelected);
  EXPECT_EQ(result, QStringLiteral("一行目\\n二行目\\tタブ\\n"));
}

TEST(MultiLineEdit, UnchangedTextComesBackTheSame) {
  TScriptedDialogs dialogs;
  TOption option;
  option.Escape = true;
  const QString text = QStringLiteral("x\\n\\ny\\tz\\\\t");
  EXPECT_EQ(TfrmMultiLineEdit::Edit(nullptr, option, QStringLiteral("c"), text, nullptr), text);
}

TEST(MultiLineEdit, DecliningTheOptionQuestionKeepsTextAndOptions) {
  TScriptedDialogs dialogs;
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  TOption option;
  option.Escape = false;
  option.ByLine = true;
  int changed = 0;
  const QString result =
      TfrmMultiLineEdit::Edit(nullptr, option, QStringLiteral("c"), QStringLiteral("a\\nb"), [&] { ++changed; });
  EXPECT_EQ(result, QStringLiteral("a\\nb"));
  EXPECT_FALSE(option.Escape);
  EXPECT_TRUE(option.ByLine);
  EXPECT_EQ(changed, 0);
  EXPECT_TRUE(dialogs.ExecTitles.empty()) << "the dialog must not open on No";
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  const auto& question = dialogs.Messages[0];
  EXPECT_EQ(question.Caption, QStringLiteral("Mirun"));
  EXPECT_EQ(question.Text, kQuestion);
  EXPECT_EQ(question.Icon, TDialogs::TIcon::Information);
  EXPECT_EQ(question.Buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(MultiLineEdit, AcceptingTheOptionQuestionSetsOptionsAndCallsBack) {
  for (const bool byLineOnly : {true, false}) {
    TScriptedDialogs dialogs;
    dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
    TOption option;
    option.Escape = byLineOnly;  // either condition alone asks
    option.ByLine = byLineOnly;
    bool escapeSeenByCallback = false;
    int changed = 0;
    dialogs.OnExec = [](QDialog&) { return int(QDialog::Accepted); };
    TfrmMultiLineEdit::Edit(nullptr, option, QStringLiteral("置換文字列の編集"), QStringLiteral("t"), [&] {
      ++changed;
      escapeSeenByCallback = option.Escape && !option.ByLine;
    });
    EXPECT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_TRUE(option.Escape);
    EXPECT_FALSE(option.ByLine);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(escapeSeenByCallback) << "the main window reloads after the options changed";
    EXPECT_EQ(dialogs.ExecTitles.size(), 1u);
  }
}

TEST(MultiLineEdit, MemoHasBothScrollBarsAndNoWrap) {
  TfrmMultiLineEdit dialog;
  EXPECT_EQ(dialog.memMain->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(dialog.memMain->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(dialog.memMain->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(dialog.size(), QSize(320, 209));
}
