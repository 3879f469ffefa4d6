#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "MainWindowSupport.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "backup/Backup.h"
#include "front/FileErrorQuestion.h"
#include "text/Conversions.h"
#include "ui/UiText.h"
#include "ui/frmFileErrorDialog.h"
#include "ui/frmMain.h"
#include "ui/frmProcess.h"
#include "ui/frmRestoreDialog.h"
#include "ui/frmResult.h"

namespace {

using hovrak::FromNarrow;
using hovrak::Msg;

// The undo of a replace through the main window's menu, on real files: a main
// window on a settings file of its own, replaces made through the result window.
class MainWindowRestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    main_ = StartShownMain(home_ / "Mirun.kel");
    main_->App().Backup->BackupDir = home_ / "Backup";
    dialogs_.OnExec = [this](QDialog& dialog) { return Answer(dialog); };
  }

  // Searches the folder for 東京 and replaces every place with 大阪.
  void Replace(const std::string& folder) {
    main_->cmbPath->setEditText(FromNarrow(folder));
    main_->cmbFilter->setEditText(QStringLiteral("*.txt"));
    main_->cmbSearched->setEditText(QStringLiteral("東京"));
    main_->btnSearchClick();
    ASSERT_EQ(main_->State(), TUiState::Found);
    main_->frmResult()->cmbReplacing->setEditText(QStringLiteral("大阪"));
    dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
    main_->frmResult()->btnReplace->click();
    dialogs_.OnMessage = nullptr;
    ASSERT_EQ(main_->State(), TUiState::Ready);
    dialogs_.Messages.clear();
  }

  // Undo through the menu, choosing the row of the list (0: the newest unit).
  void Undo(int row = 0) {
    chooseRow_ = row;
    main_->mniRestore->trigger();
  }

  int Answer(QDialog& dialog) {
    if (auto* restore = dynamic_cast<TfrmRestoreDialog*>(&dialog)) {
      listed_.clear();
      for (int i = 0; i < restore->lsvUnits->topLevelItemCount(); ++i)
        listed_.push_back(restore->lsvUnits->topLevelItem(i)->text(1));
      if (chooseRow_ < 0) return int(QDialog::Rejected);
      restore->lsvUnits->setCurrentItem(restore->lsvUnits->topLevelItem(chooseRow_));
      restore->btnRestore->click();
      return restore->result();
    }
    if (auto* question = dynamic_cast<TfrmFileErrorDialog*>(&dialog)) {
      questions_.push_back(question->lblMessage->text());
      EXPECT_FALSE(main_->mniRestore->isEnabled());
      EXPECT_EQ(main_->State(), TUiState::InReplace);
      if (question->btnForce->isVisibleTo(question)) {
        EXPECT_EQ(question->btnForce->text(), Msg(128));
      }
      return OnFileError ? OnFileError(*question) : int(hovrak::FileErrorAbort);
    }
    return int(QDialog::Rejected);
  }

  std::string UnitFolder(const std::string& name) const { return main_->App().Backup->Folder() + "/" + name; }

  TScriptedDialogs dialogs_;
  TTempDir home_;
  TTempDir data_;
  std::unique_ptr<TfrmMain> main_;
  int chooseRow_ = 0;
  std::vector<QString> listed_;  // base folders of the rows the restore dialog showed
  std::vector<QString> questions_;
  std::function<int(TfrmFileErrorDialog&)> OnFileError;
};

}  // namespace

TEST_F(MainWindowRestoreTest, UndoGivesEveryOriginalByteBackAndCanItselfBeUndone) {
  const std::wstring before = L"今日は東京へ行きます。\r\n東京の空は青い。\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const wchar_t unit : before) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>((unit >> 8) & 0xFF);
  }
  const std::vector<std::pair<std::string, std::string>> files = {
      {"sjis.txt", hovrak::unicode_to_sjis_cp932(before)},
      {"euc.txt", hovrak::unicode_to_euc(before)},
      {"sub/utf8.txt", hovrak::unicode_to_utf8(before)},
      {"utf16.txt", utf16},
  };
  for (const auto& file : files) WriteWholeFile(data_ / ("codes/" + file.first), file.second);
  main_->chkSubDir->setChecked(true);
  Replace(data_ / "codes");
  std::vector<std::string> replaced;
  for (const auto& file : files) {
    replaced.push_back(ReadWholeFile(data_ / ("codes/" + file.first)));
    EXPECT_NE(replaced.back(), file.second) << file.first;
  }

  Undo();
  for (const auto& file : files) EXPECT_EQ(ReadWholeFile(data_ / ("codes/" + file.first)), file.second) << file.first;
  EXPECT_TRUE(questions_.empty());
  EXPECT_EQ(main_->State(), TUiState::Ready);
  EXPECT_FALSE(main_->frmProcess()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(main_->mniRestore->isEnabled());
  EXPECT_EQ(main_->stbPanel0->text(), Msg(131));
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Information);
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("書き戻したファイル: 4")))
      << dialogs_.Messages[0].Text.toStdString();

  // The restored unit is marked; a new unit holds the files as the replace left them.
  const TBackup& backup = *main_->App().Backup;
  ASSERT_EQ(backup.Units.size(), 2u);
  EXPECT_FALSE(backup.Units[0]->Restored.is_special());
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(FromNarrow(backup.Units[1]->Name)));

  // Undoing the undo (the newest unit) needs no question and brings the replace back.
  dialogs_.Messages.clear();
  Undo(0);
  EXPECT_TRUE(questions_.empty());
  for (std::size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(ReadWholeFile(data_ / ("codes/" + files[i].first)), replaced[i]) << files[i].first;
  EXPECT_EQ(main_->State(), TUiState::Ready);
}

TEST_F(MainWindowRestoreTest, AFileEditedAfterTheReplaceIsKeptUnlessForced) {
  WriteWholeFile(data_ / "w/a.txt", "東京へ行く\n");
  WriteWholeFile(data_ / "w/b.txt", "大阪と東京\n");
  Replace(data_ / "w");
  WriteWholeFile(data_ / "w/b.txt", "大阪と大阪、そして自分で書き足した行\n");

  OnFileError = [](TfrmFileErrorDialog& question) {
    EXPECT_TRUE(question.btnForce->isVisibleTo(&question));
    return int(hovrak::FileErrorSkip);
  };
  Undo();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0],
            FromNarrow(hovrak::MakeRestoreQuestion(data_ / "w/b.txt", TRestoreProblem::Modified, 0).Text));
  EXPECT_EQ(ReadWholeFile(data_ / "w/a.txt"), "東京へ行く\n");
  EXPECT_EQ(ReadWholeFile(data_ / "w/b.txt"), "大阪と大阪、そして自分で書き足した行\n");
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("スキップしたファイル: 1")));

  // The same unit again (now the second row): asked first, No changes nothing.
  dialogs_.Messages.clear();
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage& message) {
    return message.Buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok;
  };
  Undo(1);
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Question);
  EXPECT_EQ(dialogs_.Messages[0].DefaultButton, QMessageBox::No);
  EXPECT_EQ(questions_.size(), 1u);
  EXPECT_EQ(ReadWholeFile(data_ / "w/b.txt"), "大阪と大阪、そして自分で書き足した行\n");
  EXPECT_EQ(main_->State(), TUiState::Ready);

  // Yes, then Force: the edited file gets its original bytes.
  dialogs_.Messages.clear();
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
  OnFileError = [](TfrmFileErrorDialog&) { return int(hovrak::FileErrorForce); };
  Undo(1);
  EXPECT_EQ(questions_.size(), 2u);
  EXPECT_EQ(ReadWholeFile(data_ / "w/a.txt"), "東京へ行く\n");
  EXPECT_EQ(ReadWholeFile(data_ / "w/b.txt"), "大阪と東京\n");
  ASSERT_EQ(dialogs_.Messages.size(), 2u);
  EXPECT_TRUE(dialogs_.Messages[1].Text.contains(QStringLiteral("書き戻したファイル: 1")));
}

TEST_F(MainWindowRestoreTest, AGoneFileIsRestoredWhenForcedAndAFailedWriteIsNamed) {
  WriteWholeFile(data_ / "w/gone/a.txt", "東京\n");
  Replace(data_ / "w/gone");
  TTempDir keep;
  ASSERT_EQ(::rename((data_ / "w/gone").c_str(), (keep / "gone").c_str()), 0);

  // Its folder is gone: forcing is offered (it makes the folder); Abort writes nothing.
  OnFileError = [](TfrmFileErrorDialog& question) {
    EXPECT_TRUE(question.btnForce->isVisibleTo(&question));
    EXPECT_FALSE(question.btnRetry->isVisibleTo(&question));
    return int(hovrak::FileErrorAbort);
  };
  Undo();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0],
            FromNarrow(hovrak::MakeRestoreQuestion(data_ / "w/gone/a.txt", TRestoreProblem::FolderMissing, 0).Text));
  EXPECT_FALSE(QFileInfo::exists(FromNarrow(data_ / "w/gone")));
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Warning);
  EXPECT_EQ(main_->stbPanel0->text(), Msg(132));

  OnFileError = [](TfrmFileErrorDialog&) { return int(hovrak::FileErrorForce); };
  Undo();
  EXPECT_EQ(ReadWholeFile(data_ / "w/gone/a.txt"), "東京\n");

  // A folder now stands where the file was: forced, the write fails, which offers
  // Retry and no Force; Skip leaves it, and the summary names it.
  WriteWholeFile(data_ / "w/dir/b.txt", "東京\n");
  Replace(data_ / "w/dir");
  ASSERT_EQ(::unlink((data_ / "w/dir/b.txt").c_str()), 0);
  ASSERT_EQ(::mkdir((data_ / "w/dir/b.txt").c_str(), 0755), 0);
  questions_.clear();
  dialogs_.Messages.clear();
  OnFileError = [](TfrmFileErrorDialog& question) {
    if (question.btnForce->isVisibleTo(&question)) return int(hovrak::FileErrorForce);
    EXPECT_TRUE(question.btnRetry->isVisibleTo(&question));
    return int(hovrak::FileErrorSkip);
  };
  Undo();
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_TRUE(questions_[1].startsWith(Msg(127) + QLatin1Char('\n'))) << questions_[1].toStdString();
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Warning);
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("元に戻せなかったファイル: 1\n") +
                                                 FromNarrow(data_ / "w/dir/b.txt")))
      << dialogs_.Messages[0].Text.toStdString();
  EXPECT_EQ(main_->State(), TUiState::Ready);
}

TEST_F(MainWindowRestoreTest, AnIncompleteBackupBeforeTheRestoreIsAskedWithNoAsTheDefault) {
  WriteWholeFile(data_ / "w/a.txt", "東京\n");
  Replace(data_ / "w");
  // The index cannot be locked any more (a folder where the lock file was): the
  // backup of the files about to be overwritten cannot be indexed, so it is not made.
  const std::string lock = home_ / "Mirun.kel.lock";
  ASSERT_EQ(::unlink(lock.c_str()), 0);
  ASSERT_EQ(::mkdir(lock.c_str(), 0700), 0);

  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage& message) {
    return message.Buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok;
  };
  Undo();
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  const TScriptedDialogs::TMessage& question = dialogs_.Messages[0];
  EXPECT_EQ(question.DefaultButton, QMessageBox::No);
  EXPECT_TRUE(question.Text.endsWith(Msg(141))) << question.Text.toStdString();
  EXPECT_TRUE(question.Text.contains(FromNarrow(home_ / "Mirun.kel")));
  EXPECT_EQ(ReadWholeFile(data_ / "w/a.txt"), "大阪\n");
  EXPECT_EQ(main_->State(), TUiState::Ready);
  EXPECT_EQ(main_->stbPanel0->text(), Msg(132));

  // Going on restores the file; the restore cannot be recorded, which the summary says.
  dialogs_.Messages.clear();
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage& message) {
    return message.Buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
  };
  Undo();
  EXPECT_EQ(ReadWholeFile(data_ / "w/a.txt"), "東京\n");
  ASSERT_EQ(dialogs_.Messages.size(), 2u);
  EXPECT_EQ(dialogs_.Messages[1].Icon, TDialogs::TIcon::Warning);
  EXPECT_TRUE(dialogs_.Messages[1].Text.contains(Msg(140))) << dialogs_.Messages[1].Text.toStdString();
}

TEST_F(MainWindowRestoreTest, StopDuringTheRestoreLeavesEveryFileWhole) {
  constexpr int kFiles = 60;
  const auto name = [](int i) { return "f" + std::to_string(100 + i) + ".txt"; };
  const auto original = [](int i) { return "東京 " + std::string(200 + i, 'x') + "\n"; };
  const auto replaced = [](int i) { return "大阪 " + std::string(200 + i, 'x') + "\n"; };
  for (int i = 0; i < kFiles; ++i) WriteWholeFile(data_ / ("many/" + name(i)), original(i));
  Replace(data_ / "many");

  // Stop once a few files went back, as a user would press it.
  QTimer watcher;
  bool clicked = false;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    TfrmProcess& process = *main_->frmProcess();
    if (clicked || process.lblMsg->text() != Msg(130)) return;
    if (process.lblN->text().section(QLatin1Char('/'), 0, 0).toInt() < 3) return;
    clicked = true;
    process.btnStop->click();
  });
  watcher.start(0);
  Undo();
  watcher.stop();
  ASSERT_TRUE(clicked);

  int back = 0;
  int left = 0;
  for (int i = 0; i < kFiles; ++i) {
    const std::string bytes = ReadWholeFile(data_ / ("many/" + name(i)));
    if (bytes == original(i)) {
      ++back;
    } else {
      EXPECT_EQ(bytes, replaced(i)) << name(i);
      ++left;
    }
  }
  EXPECT_GE(back, 3);
  EXPECT_GT(left, 0);
  EXPECT_EQ(main_->State(), TUiState::Ready);
  EXPECT_FALSE(main_->frmProcess()->isVisible());
  EXPECT_EQ(main_->stbPanel0->text(), Msg(132));
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_TRUE(dialogs_.Messages[0].Text.startsWith(Msg(132)));
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("書き戻したファイル: %1").arg(back)));
  // The index knows the partial restore: the unit is marked, and undoing the undo
  // puts back exactly the files that were restored.
  const TBackup& backup = *main_->App().Backup;
  ASSERT_EQ(backup.Units.size(), 2u);
  EXPECT_FALSE(backup.Units[0]->Restored.is_special());
  EXPECT_EQ(backup.Units[1]->Files.size(), static_cast<std::size_t>(kFiles));
  dialogs_.Messages.clear();
  Undo(0);
  EXPECT_TRUE(questions_.empty());
  for (int i = 0; i < kFiles; ++i) EXPECT_EQ(ReadWholeFile(data_ / ("many/" + name(i))), replaced(i)) << name(i);
}

TEST_F(MainWindowRestoreTest, TheItemIsUsableOnlyWhileNoRunIsActive) {
  TfrmMain unshown(home_ / "Other.kel");
  EXPECT_FALSE(unshown.mniRestore->isEnabled());
  EXPECT_EQ(unshown.mniRestore->text(), Msg(112));

  TfrmMain& main = *main_;
  EXPECT_TRUE(main.mniRestore->isEnabled());
  for (TUiState state : {TUiState::InSearch, TUiState::InReplace}) {
    main.SetState(state);
    EXPECT_FALSE(main.mniRestore->isEnabled());
    main.mniRestoreClick();  // refused: no dialog
    EXPECT_TRUE(dialogs_.ExecTitles.empty());
  }
  for (TUiState state : {TUiState::Ready, TUiState::Found, TUiState::NotFound}) {
    main.SetState(state);
    EXPECT_TRUE(main.mniRestore->isEnabled());
  }
  main.SetState(TUiState::Ready);

  // No unit yet: the dialog says so and nothing happens.
  chooseRow_ = -1;
  main.mniRestoreClick();
  ASSERT_EQ(dialogs_.ExecTitles.size(), 1u);
  EXPECT_EQ(dialogs_.ExecTitles[0], Msg(113));
  EXPECT_TRUE(listed_.empty());
  EXPECT_TRUE(dialogs_.Messages.empty());
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(MainWindowRestoreTest, AUnitMirunCliMadeWhileTheWindowLivesIsListedAndRestores) {
  // The window's settings (the backup folder) are what mirun-cli reads.
  main_->SaveSettings();
  WriteWholeFile(data_ / "cli/y.txt", "東京と京都\n");
  ASSERT_NO_FATAL_FAILURE(RunCliReplace(home_.Path(), data_ / "cli/y.txt"));
  ASSERT_EQ(ReadWholeFile(data_ / "cli/y.txt"), "大阪と京都\n");
  ASSERT_TRUE(main_->App().Backup->Units.empty());

  Undo();
  ASSERT_EQ(listed_.size(), 1u);
  EXPECT_EQ(listed_[0], FromNarrow(data_ / "cli"));
  EXPECT_EQ(ReadWholeFile(data_ / "cli/y.txt"), "東京と京都\n");
  EXPECT_TRUE(questions_.empty());
  // The restore mark is in the settings file for mirun-cli to see.
  EXPECT_NE(ReadWholeFile(home_ / "Mirun.kel").find("Restored="), std::string::npos);
}

// A unit an older version made holds no record of its replace: the window asks once
// whether to write its copies at all (No is the default) before any file question.
TEST_F(MainWindowRestoreTest, AnOlderUnitIsAskedAboutOnceBeforeAnyOfItsFiles) {
  WriteWholeFile(home_ / "Backup/old_1/a.txt", "東京\n");
  WriteWholeFile(data_ / "old/a.txt", "大阪\n");
  WriteWholeFile(home_ / "Mirun.kel", "Backup{\r\n  Dir=" + home_ / "Backup" +
                                          "\r\n  Unit{\r\n"
                                          "    Time=2005-03-14 10:00:00\r\n    Name=old_1\r\n    Size=7\r\n"
                                          "    BaseDir=" +
                                          data_ / "old" + "\r\n    File=a.txt\r\n  }\r\n}\r\n");
  const char* const home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  ::setenv("HOME", data_.Path().c_str(), 1);  // the unit's folder is the user's own
  std::vector<TScriptedDialogs::TMessage> asked;
  QMessageBox::StandardButton answer = QMessageBox::No;
  dialogs_.OnMessage = [&](const TScriptedDialogs::TMessage& message) {
    if (message.Icon != TDialogs::TIcon::Question) return QMessageBox::Ok;
    asked.push_back(message);
    return answer;
  };
  OnFileError = [](TfrmFileErrorDialog&) { return int(hovrak::FileErrorForce); };
  Undo();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].Text.contains(FromNarrow(data_ / "old"))) << asked[0].Text.toStdString();
  EXPECT_EQ(asked[0].DefaultButton, QMessageBox::No);
  EXPECT_TRUE(questions_.empty());
  EXPECT_EQ(ReadWholeFile(data_ / "old/a.txt"), "大阪\n");
  ASSERT_FALSE(dialogs_.Messages.empty());
  EXPECT_TRUE(dialogs_.Messages.back().Text.contains(Msg(150))) << dialogs_.Messages.back().Text.toStdString();

  answer = QMessageBox::Yes;
  Undo();
  ::setenv("HOME", savedHome.c_str(), 1);
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(questions_.size(), 1u);
  EXPECT_EQ(ReadWholeFile(data_ / "old/a.txt"), "東京\n");
}
