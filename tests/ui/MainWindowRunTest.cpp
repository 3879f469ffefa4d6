// A run seen through the windows: the questions it asks stand over the progress
// window, nothing the user clicks meanwhile changes what the run reads, and the end
// of a replace says what was written, what was not and why, and which older backups
// went.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "MainWindowSupport.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "front/FileErrorQuestion.h"
#include "front/SystemErrorText.h"
#include "front/TimeText.h"
#include "settings/Option.h"
#include "ui/PlacesView.h"
#include "ui/UiText.h"
#include "ui/frmFileErrorDialog.h"
#include "ui/frmMain.h"
#include "ui/frmProcess.h"
#include "ui/frmResult.h"

namespace {

using hovrak::FromNarrow;

class MainWindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = StartShownMain(home_ / "Mirun.kel");
    main_->App().Backup->BackupDir = home_ / "Backup";
    WriteWholeFile(data_ / "tree/a.txt", "東京へ行く\n東京で会う\n");
    WriteWholeFile(data_ / "tree/b.txt", "大阪と東京\n");
    main_->cmbPath->setEditText(FromNarrow(data_ / "tree"));
    main_->cmbFilter->setEditText(QStringLiteral("*.txt"));
    main_->cmbSearched->setEditText(QStringLiteral("東京"));
  }

  TfrmMain& Main() { return *main_; }
  TfrmResult& Result() { return *main_->frmResult(); }
  std::string P(const std::string& name) const { return data_ / ("tree/" + name); }

  void Search() {
    Main().btnSearchClick();
    ASSERT_EQ(Main().State(), TUiState::Found);
  }
  // The replace button with the replacement, every question answered Yes unless
  // the test says otherwise.
  void Replace(const QString& replacement) {
    Result().cmbReplacing->setEditText(replacement);
    if (!dialogs_.OnMessage) dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
    Result().btnReplace->click();
  }
  // The check box of a row of the result list, in the list surface.
  QPoint CheckBox(int row) {
    const TPlacesView& view = *Result().scbPlaces;
    return view.CheckBoxInRow().center() + QPoint(0, row * view.RowHeight() - static_cast<int>(view.ScrollPosition()));
  }
  // Clicks every control of both windows that could change ticks, options or the
  // list, as an impatient user would while the run goes on.
  void ClickEverything() {
    TfrmResult& result = Result();
    for (QPushButton* button : {result.btnAllOff, result.btnAllOn, result.btnReplacingEdit, result.btnReplace,
                                result.btnConfirm, Main().btnSearch, Main().btnOption, Main().btnSearchedEdit})
      QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, CheckBox(0));
    QTest::keyClick(result.edtPlacesDummy, Qt::Key_Space);
    QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, CheckBox(1));
    for (QAction* action : {Main().mniOption, Main().mniCopyResult, Main().mniRestore, Main().mniAbout})
      EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
  }

  TScriptedDialogs dialogs_;
  TTempDir home_;
  TTempDir data_;
  std::unique_ptr<TfrmMain> main_;
};

}  // namespace

TEST_F(MainWindowRun, QuestionsOfAReplaceStandOverTheProgressWindow) {
  ASSERT_NO_FATAL_FAILURE(Search());
  WriteWholeFile(P("b.txt"), "大阪と東京だ\n");  // changed since the search
  Main().App().Backup->MaxSize = 1;              // the size question comes too
  std::vector<QWidget*> messageParents;
  dialogs_.OnMessage = [&](const TScriptedDialogs::TMessage& message) {
    if (Main().State() == TUiState::InReplace) {
      messageParents.push_back(message.Parent);
      EXPECT_TRUE(Main().frmProcess()->isVisible());
    }
    return QMessageBox::Yes;
  };
  QWidget* questionParent = nullptr;
  dialogs_.OnExec = [&](QDialog& dialog) {
    EXPECT_NE(dynamic_cast<TfrmFileErrorDialog*>(&dialog), nullptr);
    EXPECT_TRUE(Main().frmProcess()->isVisible());
    questionParent = dialog.parentWidget();
    return int(hovrak::FileErrorSkip);
  };
  Replace(QStringLiteral("京都"));
  ASSERT_EQ(messageParents.size(), 1u);  // the size question
  EXPECT_EQ(messageParents[0], Main().frmProcess());
  EXPECT_EQ(questionParent, Main().frmProcess());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "京都へ行く\n京都で会う\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "大阪と東京だ\n");

  // Outside a run a question belongs to the main window.
  EXPECT_FALSE(Main().frmProcess()->isVisible());
  EXPECT_EQ(Main().QuestionParent(), &Main());
}

TEST_F(MainWindowRun, ClicksDuringAReplaceChangeNothingItReads) {
  ASSERT_NO_FATAL_FAILURE(Search());
  const bool escape = Main().App().Option->Escape;
  const bool byLine = Main().App().Option->ByLine;
  int clicked = 0;
  // Between the files: the list still holds the places of the second file.
  auto progress = Main().App().FileSet->OnProcess;
  Main().App().FileSet->OnProcess = [&](TProcessType kind, const std::string& path, int index, int count) {
    if (kind == TProcessType::Replacing && index == 1 && clicked++ == 0) ClickEverything();
    progress(kind, path, index, count);
  };
  Replace(QStringLiteral("京都"));
  EXPECT_EQ(clicked, 1);
  // Both files got every replacement; no question but the replace and its summary.
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "京都へ行く\n京都で会う\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "大阪と京都\n");
  EXPECT_EQ(Main().State(), TUiState::Ready);
  EXPECT_EQ(Main().App().Option->Escape, escape);
  EXPECT_EQ(Main().App().Option->ByLine, byLine);
  EXPECT_TRUE(dialogs_.ExecTitles.empty());
}

TEST_F(MainWindowRun, ClicksDuringASearchChangeNothingItReads) {
  int clicked = 0;
  auto placeAdded = Main().App().OnPlaceAdded;
  Main().App().OnPlaceAdded = [&](TAbstractPlace* place) {
    placeAdded(place);
    // Two places in the list: the second file is still to come.
    if (Main().App().PlaceList->Count() == 2 && clicked++ == 0) {
      Result().RefreshPlaces();
      ClickEverything();
    }
  };
  Main().btnSearchClick();
  EXPECT_EQ(clicked, 1);
  ASSERT_EQ(Main().State(), TUiState::Found);
  ASSERT_EQ(Main().App().PlaceList->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Main().App().PlaceList->Item(i)->Checked) << i;
  EXPECT_TRUE(dialogs_.Messages.empty());
  // Afterwards the controls work again.
  EXPECT_TRUE(Result().btnAllOff->isEnabled());
  EXPECT_TRUE(Result().btnReplacingEdit->isEnabled());
  EXPECT_TRUE(Main().mniAbout->isEnabled());
}

TEST_F(MainWindowRun, ReplaceIsOnlyOfferedWhileAPlaceIsTicked) {
  ASSERT_NO_FATAL_FAILURE(Search());
  EXPECT_TRUE(Result().btnReplace->isEnabled());
  QTest::mouseClick(Result().btnAllOff, Qt::LeftButton);
  EXPECT_FALSE(Result().btnReplace->isEnabled());
  EXPECT_TRUE(Result().btnConfirm->isEnabled());  // an empty preview is still a preview
  QTest::mouseClick(Result().pbxPlaces, Qt::LeftButton, {}, CheckBox(2));
  EXPECT_TRUE(Result().btnReplace->isEnabled());
  QTest::keyClick(Result().edtPlacesDummy, Qt::Key_Space);  // row 2 is current: unticked again
  EXPECT_FALSE(Result().btnReplace->isEnabled());
}

TEST_F(MainWindowRun, ASummaryNamesWhatWasSkippedOrNotWrittenAndWhy) {
  WriteWholeFile(P("c.txt"), "東京タワー\n");
  ASSERT_NO_FATAL_FAILURE(Search());
  WriteWholeFile(P("b.txt"), "大阪と東京だ\n");  // changed since the search
  ASSERT_EQ(::unlink(P("c.txt").c_str()), 0);    // and gone
  dialogs_.OnExec = [](QDialog&) { return int(hovrak::FileErrorSkip); };
  Replace(QStringLiteral("京都"));

  EXPECT_EQ(
      Result().stbPanel0->text(),
      hovrak::Msg(63) +
          QStringLiteral("（1ファイル 2箇所を書き換え、1ファイルをスキップ、1ファイルは書き換えられませんでした）"));
  ASSERT_GE(dialogs_.Messages.size(), 2u);
  const TScriptedDialogs::TMessage& summary = dialogs_.Messages.back();
  EXPECT_EQ(summary.Icon, TDialogs::TIcon::Warning);
  EXPECT_EQ(summary.Buttons, QMessageBox::Ok);
  EXPECT_TRUE(summary.Text.contains(FromNarrow(P("b.txt")) + QStringLiteral("\n    （検索後に変更されていました）")))
      << summary.Text.toStdString();
  EXPECT_TRUE(summary.Text.contains(FromNarrow(P("c.txt")) + QStringLiteral("\n    （") +
                                    hovrak::FromNarrow(hovrak::SystemErrorText(ENOENT))))
      << summary.Text.toStdString();
  EXPECT_TRUE(summary.Text.contains(QStringLiteral("バックアップ「")));
}

TEST_F(MainWindowRun, OlderBackupsPrunedToMakeRoomAreAskedAboutAndNamed) {
  Main().App().Backup->MaxSize = 40;
  Main().App().Backup->DeletableTime = boost::posix_time::seconds(0);
  ASSERT_NO_FATAL_FAILURE(Search());
  Replace(QStringLiteral("京都"));  // the first unit, 48 bytes: alone over the limit
  ASSERT_EQ(Main().App().Backup->Units.size(), 1u);
  const TBackupUnit first = *Main().App().Backup->Units.front();
  dialogs_.Messages.clear();

  Main().cmbSearched->setEditText(QStringLiteral("京都"));
  ASSERT_NO_FATAL_FAILURE(Search());
  Replace(QStringLiteral("奈良"));
  ASSERT_EQ(Main().App().Backup->Units.size(), 1u);
  EXPECT_NE(Main().App().Backup->Units.front()->Name, first.Name);
  // The size question said which unit would go, with its date.
  const QString when = FromNarrow(hovrak::TimeText(first.Time));
  const auto named = [&](const TScriptedDialogs::TMessage& m) { return m.Text.contains(when); };
  ASSERT_GE(dialogs_.Messages.size(), 3u);  // the replace question, the size question, the summary
  EXPECT_TRUE(dialogs_.Messages[1].Text.contains(QStringLiteral("古いバックアップ1件を削除して")))
      << dialogs_.Messages[1].Text.toStdString();
  EXPECT_TRUE(named(dialogs_.Messages[1]));
  // The summary, though nothing went wrong, says it went.
  const TScriptedDialogs::TMessage& summary = dialogs_.Messages.back();
  EXPECT_EQ(summary.Icon, TDialogs::TIcon::Information);
  EXPECT_TRUE(summary.Text.contains(QStringLiteral("古いバックアップ1件を削除しました"))) << summary.Text.toStdString();
  EXPECT_TRUE(named(summary));
  EXPECT_TRUE(Main().stbPanel0->text().contains(QStringLiteral("古いバックアップ1件を削除")));
}
