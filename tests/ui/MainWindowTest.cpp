#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>

#include "MainWindowSupport.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "front/FileErrorQuestion.h"
#include "front/SystemErrorText.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"
#include "text/Conversions.h"
#include "ui/Application.h"
#include "ui/PlacesHeader.h"
#include "ui/UiText.h"
#include "ui/frmFileErrorDialog.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmProcess.h"
#include "ui/frmResult.h"

namespace {

using hovrak::FromNarrow;
using hovrak::Msg;

// A main window started as the program starts it, on a settings file in its own
// temporary folder, with an empty clipboard.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    settingsPath_ = home_ / "Mirun.kel";
  }

  TfrmMain& Start(const std::vector<std::string>& args = {}) {
    main_ = StartShownMain(settingsPath_, args);
    return *main_;
  }

  // A folder of UTF-8 files: a.txt and b.txt hold 東京 once each, c.txt none.
  std::string MakeTree() {
    WriteWholeFile(data_ / "tree/a.txt", "東京へ行く\n");
    WriteWholeFile(data_ / "tree/b.txt", "大阪と東京\n");
    WriteWholeFile(data_ / "tree/c.txt", "名古屋\n");
    return data_ / "tree";
  }

  void SetBoxes(const std::string& path, const std::string& filter, const std::string& searched) {
    main_->cmbPath->setEditText(FromNarrow(path));
    main_->cmbFilter->setEditText(FromNarrow(filter));
    main_->cmbSearched->setEditText(FromNarrow(searched));
  }

  QString ResultStatus() const { return main_->frmResult()->stbPanel0->text(); }

  TScriptedDialogs dialogs_;
  TTempDir home_;
  TTempDir data_;
  std::string settingsPath_;
  std::unique_ptr<TfrmMain> main_;
};

bool SearchControlsEnabled(const TfrmMain& main) {
  return main.btnSearch->isEnabled() && main.cmbPath->isEnabled() && main.btnPathRef->isEnabled() &&
         main.cmbFilter->isEnabled() && main.cmbSearched->isEnabled() && main.cmbMode->isEnabled() &&
         main.chkSubDir->isEnabled() && main.btnOption->isEnabled() && main.mniOption->isEnabled();
}

bool SearchControlsDisabled(const TfrmMain& main) {
  return !main.btnSearch->isEnabled() && !main.cmbPath->isEnabled() && !main.btnPathRef->isEnabled() &&
         !main.cmbFilter->isEnabled() && !main.cmbSearched->isEnabled() && !main.cmbMode->isEnabled() &&
         !main.chkSubDir->isEnabled() && !main.btnOption->isEnabled() && !main.mniOption->isEnabled() &&
         !main.btnSearchedEdit->isEnabled();
}

}  // namespace

// ---------------------------------------------------------------------------------
// The state table and the outcomes of a search

TEST_F(MainWindowTest, ShowingEntersReadyWithDefaultsAndCaptions) {
  TfrmMain& main = Start();
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_TRUE(SearchControlsEnabled(main));
  EXPECT_FALSE(main.frmResult()->isVisible());
  EXPECT_FALSE(main.frmProcess()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(main.windowTitle(), Msg(0));
  EXPECT_EQ(main.btnSearch->text(), Msg(15));
  EXPECT_EQ(main.btnSearchedEdit->toolTip(), Msg(110));
  ASSERT_EQ(main.cmbMode->count(), 3);
  EXPECT_EQ(main.cmbMode->itemText(2), Msg(13));
  // The filter history starts with the two designed entries, the first selected.
  ASSERT_EQ(main.cmbFilter->count(), 2);
  EXPECT_EQ(main.cmbFilter->itemText(0), QStringLiteral("*.txt *.htm *.html"));
  EXPECT_EQ(main.cmbFilter->itemText(1), QStringLiteral("*.c *.cpp *.h"));
  EXPECT_EQ(main.cmbFilter->currentText(), QStringLiteral("*.txt *.htm *.html"));
  for (const char* name : {"cmbPath", "btnPathRef", "cmbFilter", "cmbSearched", "btnSearchedEdit", "cmbMode",
                           "chkSubDir", "btnOption", "btnSearch", "lblPath", "lblFilter", "lblSearched"})
    EXPECT_NE(main.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(main.findChild<QAction*>(QStringLiteral("mniCopyResult")), main.mniCopyResult);
}

TEST_F(MainWindowTest, SearchWithHitsEndsFoundAndAChangeDiscardsTheResults) {
  TfrmMain& main = Start();
  SetBoxes(MakeTree(), "*.txt", "東京");
  main.btnSearchClick();
  EXPECT_EQ(main.State(), TUiState::Found);
  ASSERT_NE(main.App().PlaceList, nullptr);
  EXPECT_EQ(main.App().PlaceList->Count(), 2);
  EXPECT_TRUE(SearchControlsEnabled(main));
  EXPECT_TRUE(main.frmResult()->isVisible());
  EXPECT_FALSE(main.frmProcess()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ResultStatus(), Msg(41));
  // Normal mode copies the search string into the replacement box.
  EXPECT_EQ(main.frmResult()->cmbReplacing->currentText(), QStringLiteral("東京"));
  EXPECT_TRUE(dialogs_.Messages.empty());

  // Editing the filter hides the result window and empties the list.
  main.cmbFilter->setEditText(QStringLiteral("*.md"));
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.App().PlaceList, nullptr);
  EXPECT_FALSE(main.frmResult()->isVisible());

  // So does ticking the subfolder box after another search.
  main.cmbFilter->setEditText(QStringLiteral("*.txt"));
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);
  main.chkSubDir->click();
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(MainWindowTest, AFilterStartingWithABangLeavesFilesAndFoldersOut) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  WriteWholeFile(tree + "/old/d.txt", "東京\n");
  SetBoxes(tree, "*.txt !b.txt !old/", "東京");
  main.chkSubDir->setChecked(true);
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);
  ASSERT_EQ(main.App().PlaceList->Count(), 1);
  EXPECT_EQ(main.App().PlaceList->Item(0)->FileName(), tree + "/a.txt");
}

TEST_F(MainWindowTest, SearchWithoutHitsEndsNotFound) {
  TfrmMain& main = Start();
  SetBoxes(MakeTree(), "*.txt", "札幌");
  main.btnSearchClick();
  EXPECT_EQ(main.State(), TUiState::NotFound);
  ASSERT_NE(main.App().PlaceList, nullptr);
  EXPECT_EQ(main.App().PlaceList->Count(), 0);
  EXPECT_TRUE(main.frmResult()->isVisible());
  EXPECT_TRUE(SearchControlsEnabled(main));
  EXPECT_EQ(ResultStatus(), Msg(41));
}

TEST_F(MainWindowTest, RegularExpressionModeStartsTheReplacementEmpty) {
  TfrmMain& main = Start();
  SetBoxes(MakeTree(), "*.txt", "東.");
  main.cmbMode->setCurrentIndex(2);
  main.btnSearchClick();
  EXPECT_EQ(main.State(), TUiState::Found);
  EXPECT_EQ(main.App().Option->Mode, TSearchMode::Regex);
  EXPECT_EQ(main.frmResult()->cmbReplacing->currentText(), QString());
}

TEST_F(MainWindowTest, FailedSearchesEndReadyWithTheirMessage) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();

  // 1: a search string that does not compile.
  SetBoxes(tree, "*.txt", "(東京");
  main.cmbMode->setCurrentIndex(2);
  main.btnSearchClick();
  EXPECT_EQ(main.State(), TUiState::Ready);
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Text, Msg(37));
  EXPECT_EQ(dialogs_.Messages[0].Caption, QStringLiteral("Mirun"));
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::None);
  EXPECT_EQ(dialogs_.Messages[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_FALSE(main.frmResult()->isVisible());

  // 2: no file passes the filter.
  main.cmbMode->setCurrentIndex(0);
  SetBoxes(tree, "*.md", "東京");
  main.btnSearchClick();
  ASSERT_EQ(dialogs_.Messages.size(), 2u);
  EXPECT_EQ(dialogs_.Messages[1].Text, Msg(38));
  EXPECT_EQ(main.State(), TUiState::Ready);

  // 4: any other exception, with its text.
  SetBoxes(tree, "*.txt", "東京");
  main.App().OnPlaceAdded = [](TAbstractPlace*) { throw std::runtime_error("disk on fire"); };
  main.btnSearchClick();
  ASSERT_EQ(dialogs_.Messages.size(), 3u);
  EXPECT_EQ(dialogs_.Messages[2].Text, Msg(39) + QStringLiteral("\ndisk on fire"));
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, NoTargetIsRefusedBeforeAnythingChanges) {
  TfrmMain& main = Start();
  SetBoxes("", "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Text, Msg(54));
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Error);
  EXPECT_EQ(main.State(), TUiState::Ready);
  // Nothing went into the histories.
  EXPECT_EQ(main.cmbSearched->count(), 0);
}

TEST_F(MainWindowTest, ARunDisablesTheControlsAndRefusesToClose) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  // A missing file named as target asks during the search; look at the windows then.
  SetBoxes("\"" + tree + "/a.txt\" \"" + tree + "/missing.txt\"", "", "東京");
  bool looked = false;
  dialogs_.OnExec = [&](QDialog& dialog) {
    looked = true;
    EXPECT_NE(dynamic_cast<TfrmFileErrorDialog*>(&dialog), nullptr);
    EXPECT_EQ(main.State(), TUiState::InSearch);
    EXPECT_TRUE(SearchControlsDisabled(main));
    EXPECT_TRUE(main.frmResult()->isVisible());
    EXPECT_TRUE(main.frmProcess()->isVisible());
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    // The user sees the normal cursor while answering.
    EXPECT_TRUE(QApplication::overrideCursor() == nullptr || QApplication::overrideCursor()->shape() != Qt::BusyCursor);
    return int(hovrak::FileErrorSkipAll);
  };
  main.btnSearchClick();
  EXPECT_TRUE(looked);
  EXPECT_EQ(main.State(), TUiState::Found);

  // The replacing state refuses too; the others close, ending in Ready.
  main.SetState(TUiState::InReplace);
  EXPECT_TRUE(SearchControlsDisabled(main));
  EXPECT_TRUE(main.frmProcess()->isVisible());
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  EXPECT_FALSE(main.close());
  main.SetState(TUiState::Found);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(main.close());
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_FALSE(main.frmResult()->isVisible());
}

TEST_F(MainWindowTest, SkipAllAnswersLaterFailuresOfTheSameKindWithoutAsking) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  SetBoxes("\"" + tree + "/gone1.txt\" \"" + tree + "/a.txt\" \"" + tree + "/gone2.txt\" \"" + tree + "/gone3.txt\"",
           "", "東京");
  int asked = 0;
  dialogs_.OnExec = [&](QDialog& dialog) {
    ++asked;
    auto* question = dynamic_cast<TfrmFileErrorDialog*>(&dialog);
    EXPECT_NE(question, nullptr);
    return int(hovrak::FileErrorSkipAll);
  };
  main.btnSearchClick();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(main.State(), TUiState::Found);
  EXPECT_EQ(main.App().PlaceList->Count(), 1);

  // The next search starts with an empty skip-all set.
  main.btnSearchClick();
  EXPECT_EQ(asked, 2);
}

TEST_F(MainWindowTest, StopDuringListingLeavesNoResults) {
  TfrmMain& main = Start();
  for (int i = 0; i < 8; ++i) WriteWholeFile(data_ / ("deep/d" + std::to_string(i) + "/a.txt"), "東京\n");
  SetBoxes(data_ / "deep", "*.txt", "東京");
  main.chkSubDir->setChecked(true);
  // The first folder's report asks for the stop button; each report takes a while,
  // as on a slow disk, so the click comes while folders are still being listed.
  bool clicked = false;
  int searchReports = 0;
  const TProcessEvent progress = main.App().OnProcess;
  main.App().OnProcess = [&](TProcessType kind, const std::string& path, int index, int count) {
    if (kind == TProcessType::Searching) ++searchReports;
    if (kind == TProcessType::Listing) {
      if (!clicked) QTimer::singleShot(0, main.frmProcess()->btnStop, &QPushButton::click);
      clicked = true;
      QThread::msleep(20);
    }
    progress(kind, path, index, count);
  };
  main.btnSearchClick();
  EXPECT_EQ(searchReports, 0);
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.App().PlaceList, nullptr);
  EXPECT_FALSE(main.frmResult()->isVisible());
  EXPECT_FALSE(main.frmProcess()->isVisible());
  EXPECT_EQ(main.stbPanel0->text(), Msg(36));
  EXPECT_TRUE(dialogs_.Messages.empty());
  EXPECT_TRUE(SearchControlsEnabled(main));
}

TEST_F(MainWindowTest, StopDuringSearchingKeepsThePlacesFound) {
  TfrmMain& main = Start();
  std::string many;
  for (int i = 0; i < 2000; ++i) many += "東京と大阪\n";
  // Enough files that the search is still running when the stop is clicked.
  for (int i = 0; i < 30; ++i) WriteWholeFile(data_ / ("many/f" + std::to_string(i) + ".txt"), many);
  SetBoxes(data_ / "many", "*.txt", "東京");
  int added = 0;
  QElapsedTimer sinceClick;
  const auto placeAdded = main.App().OnPlaceAdded;
  main.App().OnPlaceAdded = [&](TAbstractPlace* place) {
    if (++added == 10) {
      QTimer::singleShot(0, main.frmProcess()->btnStop, [&]() {
        sinceClick.start();
        main.frmProcess()->btnStop->click();
      });
    }
    placeAdded(place);
  };
  main.btnSearchClick();
  ASSERT_TRUE(sinceClick.isValid());
  // A stop is taken within a few milliseconds, well under the 100 ms a user notices.
  EXPECT_LT(sinceClick.elapsed(), 100);
  EXPECT_EQ(main.State(), TUiState::Found);
  ASSERT_NE(main.App().PlaceList, nullptr);
  EXPECT_GE(main.App().PlaceList->Count(), 10);
  EXPECT_LT(main.App().PlaceList->Count(), 60000);  // fewer than all
  EXPECT_EQ(ResultStatus(), Msg(36));
}

TEST_F(MainWindowTest, EnterInABoxSearchesOnce) {
  TfrmMain& main = Start();
  SetBoxes("", "*.txt", "東京");
  QTest::keyClick(main.cmbSearched->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(dialogs_.Messages.size(), 1u);  // the no-target message, once
  QTest::keyClick(main.chkSubDir, Qt::Key_Enter);
  EXPECT_EQ(dialogs_.Messages.size(), 2u);
}

TEST_F(MainWindowTest, FileErrorAnswersRetryAndAbort) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  const std::string late = tree + "/late.txt";
  SetBoxes("\"" + late + "\" \"" + tree + "/a.txt\"", "", "東京");
  QString question;
  bool forceShown = true, retryShown = false;
  dialogs_.OnExec = [&](QDialog& dialog) {
    auto* ask = dynamic_cast<TfrmFileErrorDialog*>(&dialog);
    EXPECT_NE(ask, nullptr);
    if (!ask) return int(QDialog::Rejected);
    question = ask->lblMessage->text();
    forceShown = !ask->btnForce->isHidden();
    retryShown = !ask->btnRetry->isHidden();
    // The file appears before the retry.
    WriteWholeFile(late, "東京\n");
    return int(hovrak::FileErrorRetry);
  };
  main.btnSearchClick();
  // With the system's reason.
  EXPECT_EQ(question, Msg(47) + QStringLiteral("\n（") + hovrak::FromNarrow(hovrak::SystemErrorText(ENOENT)) +
                          QStringLiteral("）\n") + Msg(53) + QStringLiteral("\n\n") + FromNarrow(late));
  EXPECT_FALSE(forceShown);
  EXPECT_TRUE(retryShown);
  EXPECT_EQ(main.State(), TUiState::Found);
  EXPECT_EQ(main.App().PlaceList->Count(), 2);

  // Abort stops the search where it is: nothing found before the first file.
  SetBoxes("\"" + tree + "/never.txt\" \"" + tree + "/a.txt\"", "", "東京");
  dialogs_.OnExec = [](QDialog&) { return int(hovrak::FileErrorAbort); };
  main.btnSearchClick();
  EXPECT_EQ(main.State(), TUiState::NotFound);
  EXPECT_EQ(ResultStatus(), Msg(36));

  // Closing the dialog some other way aborts too.
  dialogs_.OnExec = [](QDialog&) { return int(QDialog::Rejected); };
  main.btnSearchClick();
  EXPECT_EQ(ResultStatus(), Msg(36));
}

TEST_F(MainWindowTest, NothingToSearchForOrInIsSaidBeforeAnythingChanges) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  const auto refused = [&](const QString& expected) {
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    EXPECT_TRUE(dialogs_.Messages[0].Text.contains(expected)) << dialogs_.Messages[0].Text.toStdString();
    EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Error);
    EXPECT_EQ(main.State(), TUiState::Ready);
    EXPECT_FALSE(main.frmResult()->isVisible());
    EXPECT_EQ(main.cmbSearched->count(), 0);
    EXPECT_EQ(main.cmbPath->count(), 0);
    dialogs_.Messages.clear();
  };
  SetBoxes(tree, "*.txt", "");
  main.btnSearchClick();
  refused(QStringLiteral("検索文字列が入力されていません。"));

  SetBoxes(data_ / "no such folder", "*.txt", "東京");
  main.btnSearchClick();
  refused(FromNarrow(data_ / "no such folder"));
  SetBoxes(data_ / "no such folder", "*.txt", "東京");
  main.btnSearchClick();
  refused(hovrak::FromNarrow(hovrak::SystemErrorText(ENOENT)));
}

TEST_F(MainWindowTest, SeveralPathsWithAFolderAreRefused) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  SetBoxes("\"" + tree + "\" \"" + tree + "/a.txt\"", "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Text, Msg(55));
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Error);
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.cmbSearched->count(), 0);
}

TEST_F(MainWindowTest, ProgressShowsPathsAgainstTheDisplayBase) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  SetBoxes(tree, "*.txt", "東京");
  main.btnSearchClick();
  EXPECT_EQ(main.DisplayBase(), tree);
  SetBoxes("\"" + tree + "/a.txt\" \"" + tree + "/b.txt\"", "", "東京");
  main.btnSearchClick();
  EXPECT_EQ(main.DisplayBase(), tree);

  main.SetState(TUiState::InSearch);
  main.OnProcess(TProcessType::Searching, tree + "/sub/f.txt", 2, 3);
  EXPECT_EQ(main.frmProcess()->lblMsg->text(), Msg(44));
  EXPECT_EQ(main.frmProcess()->lblSubMsg->text(), QStringLiteral("sub/f.txt"));
  EXPECT_EQ(main.frmProcess()->lblN->text(), QStringLiteral("2/3"));
  EXPECT_EQ(main.frmProcess()->pgbProg->value(), 66);
  main.OnProcess(TProcessType::BackingUp, "", 0, 0);
  EXPECT_EQ(main.frmProcess()->lblMsg->text(), Msg(43));
  main.OnProcess(TProcessType::Replacing, tree + "/a.txt", 0, 1);
  EXPECT_EQ(main.frmProcess()->lblMsg->text(), Msg(45));
  EXPECT_EQ(main.frmProcess()->lblSubMsg->text(), QStringLiteral("a.txt"));
  main.SetState(TUiState::Ready);
}

TEST_F(MainWindowTest, StatusTextGoesToTheVisibleWindow) {
  TfrmMain& main = Start();
  main.ShowStatus(QStringLiteral("main"));
  EXPECT_EQ(main.stbPanel0->text(), QStringLiteral("main"));
  SetBoxes(MakeTree(), "*.txt", "東京");
  main.btnSearchClick();
  main.ShowStatus(QStringLiteral("result"));
  EXPECT_EQ(ResultStatus(), QStringLiteral("result"));
  // Every state change empties both.
  main.SetState(TUiState::Ready);
  EXPECT_EQ(main.stbPanel0->text(), QString());
  EXPECT_EQ(ResultStatus(), QString());
}

TEST_F(MainWindowTest, SearchAndReplaceThroughTheWindowsInSeveralCodes) {
  const std::wstring before = L"今日は東京へ行きます。明日は京都に帰ります。\n東京の空は青い。\n";
  const std::wstring after = L"今日は大阪へ行きます。明日は京都に帰ります。\n大阪の空は青い。\n";
  const auto utf16 = [](const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : text) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
  };
  struct TCase {
    std::string Name;
    std::string Before;
    std::string After;
  };
  const std::vector<TCase> cases = {
      {"sjis.txt", hovrak::unicode_to_sjis_cp932(before), hovrak::unicode_to_sjis_cp932(after)},
      {"euc.txt", hovrak::unicode_to_euc(before), hovrak::unicode_to_euc(after)},
      {"utf8.txt", hovrak::unicode_to_utf8(before), hovrak::unicode_to_utf8(after)},
      {"utf16.txt", utf16(before), utf16(after)},
  };
  for (const TCase& c : cases) WriteWholeFile(data_ / ("codes/" + c.Name), c.Before);

  TfrmMain& main = Start();
  main.App().Backup->BackupDir = home_ / "Backup";
  SetBoxes(data_ / "codes", "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);
  ASSERT_EQ(main.App().PlaceList->Count(), 8);

  main.frmResult()->cmbReplacing->setEditText(QStringLiteral("大阪"));
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
  main.frmResult()->btnReplace->click();
  ASSERT_FALSE(dialogs_.Messages.empty());
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("\"東京\"")));
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("\"大阪\"")));
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.stbPanel0->text(), Msg(63) + QStringLiteral("（4ファイル 8箇所を書き換え）"));
  EXPECT_EQ(main.frmResult()->cmbReplacing->itemText(0), QStringLiteral("大阪"));
  for (const TCase& c : cases) EXPECT_EQ(ReadWholeFile(data_ / ("codes/" + c.Name)), c.After) << c.Name;

  // One backup unit holds the four files as they were.
  ASSERT_EQ(main.App().Backup->Units.size(), 1u);
  const std::string unit = main.App().Backup->Folder() + "/" + main.App().Backup->Units[0]->Name;
  for (const TCase& c : cases) EXPECT_EQ(ReadWholeFile(unit + "/" + c.Name), c.Before) << c.Name;
}

// ---------------------------------------------------------------------------------
// Histories

TEST_F(MainWindowTest, HistoryKeepsFiftyNewestFirstWithoutDuplicatesOrLineBreaks) {
  TfrmMain& main = Start();
  QComboBox* box = main.cmbSearched;
  for (int i = 1; i <= 50; ++i) {
    box->setEditText(QString::number(i));
    main.UpdateHistory(box);
  }
  ASSERT_EQ(box->count(), 50);
  EXPECT_EQ(box->itemText(0), QStringLiteral("50"));
  EXPECT_EQ(box->itemText(49), QStringLiteral("1"));

  box->setEditText(QStringLiteral("51"));
  main.UpdateHistory(box);
  ASSERT_EQ(box->count(), 50);
  EXPECT_EQ(box->itemText(0), QStringLiteral("51"));
  EXPECT_EQ(box->itemText(49), QStringLiteral("2"));  // the oldest went

  box->setEditText(QStringLiteral("10"));
  main.UpdateHistory(box);
  EXPECT_EQ(box->count(), 50);
  EXPECT_EQ(box->itemText(0), QStringLiteral("10"));
  EXPECT_EQ(box->itemText(1), QStringLiteral("51"));
  EXPECT_EQ(box->findText(QStringLiteral("10")), 0);

  box->setEditText(QStringLiteral("東\r\n京\n"));
  main.UpdateHistory(box);
  EXPECT_EQ(box->itemText(0), QStringLiteral("東京"));
  EXPECT_EQ(box->currentText(), QStringLiteral("東京"));
}

TEST_F(MainWindowTest, SearchPutsTheThreeBoxesIntoTheirHistories) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  SetBoxes(tree, "*.txt", "東京");
  main.btnSearchClick();
  main.cmbSearched->setEditText(QStringLiteral("大阪"));
  main.btnSearchClick();
  ASSERT_EQ(main.cmbSearched->count(), 2);
  EXPECT_EQ(main.cmbSearched->itemText(0), QStringLiteral("大阪"));
  EXPECT_EQ(main.cmbPath->itemText(0), FromNarrow(tree));
  EXPECT_EQ(main.cmbPath->count(), 1);
  EXPECT_EQ(main.cmbFilter->itemText(0), QStringLiteral("*.txt"));
  EXPECT_EQ(main.cmbFilter->count(), 3);
}

// ---------------------------------------------------------------------------------
// Browsing, dropping, options, help

TEST_F(MainWindowTest, BrowsingFillsTheTargetBox) {
  TfrmMain& main = Start();
  const std::string tree = MakeTree();
  SetBoxes(tree, "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);

  QString dirCaption, dirStart;
  dialogs_.OnDirectory = [&](const QString& caption, const QString& start) {
    dirCaption = caption;
    dirStart = start;
    return QStringLiteral("/srv/資料 2");
  };
  main.mniDirRefClick();
  EXPECT_EQ(dirCaption, Msg(20));
  EXPECT_EQ(dirStart, FromNarrow(tree));
  // A folder goes in unquoted; the change discards the results.
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("/srv/資料 2"));
  EXPECT_EQ(main.State(), TUiState::Ready);

  dialogs_.OnFiles = [](const QString&, const QString&) {
    return QStringList{QStringLiteral("/a b/1.txt"), QStringLiteral("/c/2.txt")};
  };
  main.mniFileRefClick();
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("\"/a b/1.txt\" \"/c/2.txt\""));

  // Cancelled choosers change nothing.
  dialogs_.OnFiles = nullptr;
  main.mniFileRefClick();
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("\"/a b/1.txt\" \"/c/2.txt\""));
}

TEST_F(MainWindowTest, DroppedFilesAreQuotedAndKeepTheState) {
  TfrmMain& main = Start();
  SetBoxes(MakeTree(), "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);
  main.DropFiles({QStringLiteral("/x/a b.txt"), QStringLiteral("/y/c.txt")});
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("\"/x/a b.txt\" \"/y/c.txt\""));
  EXPECT_EQ(main.State(), TUiState::Found);
}

TEST_F(MainWindowTest, OptionDialogOkReloadsModeAndSubfolders) {
  TfrmMain& main = Start();
  SetBoxes(MakeTree(), "*.txt", "東京");
  main.btnSearchClick();
  ASSERT_EQ(main.State(), TUiState::Found);

  dialogs_.OnExec = [](QDialog&) { return int(QDialog::Rejected); };
  main.mniOptionClick();
  EXPECT_EQ(main.State(), TUiState::Found);

  dialogs_.OnExec = [&](QDialog&) {
    main.App().Option->Mode = TSearchMode::Word;
    main.App().Option->SubDir = true;
    return int(QDialog::Accepted);
  };
  main.mniOptionClick();
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.cmbMode->currentIndex(), 1);
  EXPECT_TRUE(main.chkSubDir->isChecked());
}

TEST_F(MainWindowTest, HelpShowsThePageInsideTheProgram) {
  TfrmMain& main = Start();
  std::vector<QUrl> opened;
  main.UrlOpener = [&](const QUrl& url) {
    opened.push_back(url);
    return true;
  };
  main.mniHelpCClick();
  ASSERT_NE(main.frmHelp(), nullptr);
  TfrmHelp& help = *main.frmHelp();
  EXPECT_TRUE(help.isVisible());
  EXPECT_TRUE(help.brwHelp->source().toLocalFile().endsWith(QStringLiteral("help/index.html")));
  EXPECT_TRUE(help.brwHelp->toPlainText().contains(QStringLiteral("Mirun ヘルプ")));
  EXPECT_TRUE(dialogs_.Messages.empty());
  EXPECT_TRUE(opened.empty());  // nothing depends on a program for HTML files

  // A link within the help stays in the window; one to the web goes to the browser.
  emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("#result")));
  EXPECT_TRUE(help.brwHelp->source().toLocalFile().endsWith(QStringLiteral("help/index.html")));
  EXPECT_TRUE(opened.empty());
  emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("https://www.example.org/")));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://www.example.org/")));

  // Asked again: the same window, brought forward.
  main.mniHelpCClick();
  EXPECT_EQ(main.frmHelp(), &help);
}

// ---------------------------------------------------------------------------------
// Start-up: clipboard, arguments, settings

TEST_F(MainWindowTest, SearchBoxStartsWithTheClipboardTextEscaped) {
  QGuiApplication::clipboard()->setText(QStringLiteral("一行目\n二行目"));
  TfrmMain& main = Start();
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("一行目\\n二行目"));
}

TEST_F(MainWindowTest, ClipboardTextIsCutAtACharacterBoundary) {
  // 400 three-byte characters: 1024 bytes end inside the 342nd.
  QString text;
  for (int i = 0; i < 400; ++i) text += QStringLiteral("漢");
  QGuiApplication::clipboard()->setText(text);
  TfrmMain& main = Start();
  EXPECT_EQ(main.cmbSearched->currentText(), text.left(341));
}

TEST_F(MainWindowTest, ArgumentsFillTheBoxesAndSurviveTheFirstShow) {
  main_ = std::make_unique<TfrmMain>(settingsPath_);
  main_->StartUp({"/a b/1.txt", "/c/2.txt", "-s", "東京", "-f*.md", "-m", "r", "-r", "-K", "un", "-i", "-B"});
  TfrmMain& main = *main_;
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("\"/a b/1.txt\" \"/c/2.txt\""));
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("東京"));
  EXPECT_EQ(main.cmbFilter->currentText(), QStringLiteral("*.md"));
  EXPECT_EQ(main.App().Option->CharCode, TCharCode::UTF8N);
  EXPECT_FALSE(main.App().Option->CaseSensitive);
  EXPECT_FALSE(main.App().Option->Backup);
  main.show();
  EXPECT_EQ(main.cmbMode->currentIndex(), 2);
  EXPECT_TRUE(main.chkSubDir->isChecked());
  EXPECT_FALSE(main.tmrSearch->isActive());
}

TEST_F(MainWindowTest, UnknownArgumentValuesAreIgnored) {
  TfrmMain& main = Start({"-m", "x", "-K", "zz", "-q"});
  EXPECT_EQ(main.cmbMode->currentIndex(), 0);
  EXPECT_EQ(main.App().Option->CharCode, TCharCode::Auto);
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(MainWindowTest, SwitchNStartsTheSearchOnceTheEventLoopRuns) {
  const std::string tree = MakeTree();
  TfrmMain& main = Start({tree + "/a.txt", "-s", "東京", "-n"});
  EXPECT_TRUE(main.tmrSearch->isActive());
  EXPECT_EQ(main.State(), TUiState::Ready);
  for (int i = 0; i < 100 && main.State() == TUiState::Ready; ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(main.State(), TUiState::Found);
  EXPECT_FALSE(main.tmrSearch->isActive());
}

TEST_F(MainWindowTest, SettingsRoundTrip) {
  std::vector<std::int32_t> columnWidths;
  {
    TfrmMain& main = Start();
    SetBoxes(MakeTree(), "*.txt", "東京");
    main.btnSearchClick();
    main.cmbSearched->setEditText(QStringLiteral("大阪"));
    main.btnSearchClick();
    main.frmResult()->cmbReplacing->addItem(QStringLiteral("名古屋"));
    main.App().Option->CharCode = TCharCode::EUC;
    main.App().Option->Editor = "gedit +%l \"%p\"";
    main.App().Backup->MaxSize = 12345;
    main.SetBounds(TPersistentWindows::TWindow::Main, {31, 42, 0, 0});
    main.SetBounds(TPersistentWindows::TWindow::Result, {50, 300, 720, 420});
    main.SetBounds(TPersistentWindows::TWindow::View, {1, 2, 3, 4});
    main.SetColumnWidths({40, 300, 260, 45});
    columnWidths = main.ColumnWidths();  // fitted to the shown window
    EXPECT_EQ(columnWidths[0], 40);
    main.SetState(TUiState::Ready);
    main.SaveSettings();
  }
  main_.reset();
  TfrmMain& main = Start();
  EXPECT_EQ(main.History(TPersistentWindows::THistory::Searched), (TStringVector{"大阪", "東京"}));
  EXPECT_EQ(main.History(TPersistentWindows::THistory::Replacing), (TStringVector{"名古屋"}));
  EXPECT_EQ(main.History(TPersistentWindows::THistory::Filter),
            (TStringVector{"*.txt", "*.txt *.htm *.html", "*.c *.cpp *.h"}));
  EXPECT_EQ(main.cmbPath->count(), 1);
  EXPECT_EQ(main.App().Option->CharCode, TCharCode::EUC);
  EXPECT_EQ(main.App().Option->Editor, "gedit +%l \"%p\"");
  EXPECT_EQ(main.App().Backup->MaxSize, 12345u);
  EXPECT_EQ(main.Bounds(TPersistentWindows::TWindow::Main).Left, 31);
  EXPECT_EQ(main.Bounds(TPersistentWindows::TWindow::Main).Top, 42);
  const TPersistentWindows::TBounds result = main.Bounds(TPersistentWindows::TWindow::Result);
  EXPECT_EQ(result.Left, 50);
  EXPECT_EQ(result.Top, 300);
  EXPECT_EQ(result.Width, 720);
  EXPECT_EQ(result.Height, 420);
  const TPersistentWindows::TBounds view = main.Bounds(TPersistentWindows::TWindow::View);
  EXPECT_EQ(view.Left, 1);
  EXPECT_EQ(view.Height, 4);
  // The columns as the user left them.
  EXPECT_EQ(main.ColumnWidths(), columnWidths);
  // The first path and filter of the histories are selected.
  EXPECT_EQ(main.cmbFilter->currentText(), QStringLiteral("*.txt"));
}

TEST_F(MainWindowTest, OlderSettingsNoticeComesOnce) {
  WriteWholeFile(home_ / "Mirun.kmx", "old");
  Start();
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Information);
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QStringLiteral("Mirun.kmx")));
  main_->SaveSettings();
  main_.reset();
  Start();
  EXPECT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_NE(ReadWholeFile(settingsPath_).find("Ver3First=0"), std::string::npos);
}

TEST_F(MainWindowTest, BrokenSettingsFilesNeverStopTheStart) {
  const std::vector<std::string> broken = {
      std::string("\x00\xff\xfe garbage \x1a\x00", 14),
      "Option{\nMode=Regex\n",  // never closed
      "}\n}\nPathHistory=a\n",
      "MainLeft=abc\nResultWidth=-5\nResultHeight=99999999999999\n",
      "Backup{\nUnit{\nTime=2005-13-45 99:99:99\nName=../../etc\nFile=/etc/passwd\n}\n"
      "DeletableTime=xx:yy\n}\n",
  };
  for (const std::string& bytes : broken) {
    WriteWholeFile(settingsPath_, bytes);
    main_.reset();
    TfrmMain& main = Start();
    EXPECT_EQ(main.State(), TUiState::Ready);
    EXPECT_EQ(main.cmbFilter->count(), 2);
    main.SaveSettings();
  }
  // A folder where the file should be.
  ::unlink(settingsPath_.c_str());
  ::mkdir(settingsPath_.c_str(), 0700);
  main_.reset();
  TfrmMain& main = Start();
  EXPECT_EQ(main.State(), TUiState::Ready);
  main.SaveSettings();
}

TEST_F(MainWindowTest, ExitKeepsBackupUnitsAnotherProcessAdded) {
  TfrmMain& main = Start();
  // A unit this window knows only in memory.
  WriteWholeFile(data_ / "gui/x.txt", "東京\n");
  TBackupIndexStore* store = main.App().Backup->IndexStore;
  main.App().Backup->IndexStore = nullptr;
  const TBackupReport mine = main.App().Backup->MakeBackup({data_ / "gui/x.txt"});
  main.App().Backup->IndexStore = store;
  ASSERT_FALSE(mine.UnitName.empty());

  // mirun-cli replaces meanwhile with the same settings folder and backs up.
  WriteWholeFile(data_ / "cli/y.txt", "東京\n");
  ASSERT_NO_FATAL_FAILURE(RunCliReplace(home_.Path(), data_ / "cli/y.txt"));
  const std::string between = ReadWholeFile(settingsPath_);
  ASSERT_EQ(between.find(mine.UnitName), std::string::npos);
  const std::size_t nameAt = between.find("Name=");
  ASSERT_NE(nameAt, std::string::npos);
  const std::string cliUnit = between.substr(nameAt + 5, between.find_first_of("\r\n", nameAt) - nameAt - 5);

  main.SaveSettings();
  const std::string after = ReadWholeFile(settingsPath_);
  EXPECT_NE(after.find("Name=" + mine.UnitName + "\r\n"), std::string::npos) << after;
  EXPECT_NE(after.find("Name=" + cliUnit + "\r\n"), std::string::npos) << after;
}

// ---------------------------------------------------------------------------------
// Backup questions

TEST_F(MainWindowTest, BackupFailureAsksWithNoAsTheDefault) {
  TfrmMain& main = Start();
  TBackupReport report;
  report.Failures.push_back({"/data/a.txt", ENOSPC});
  report.Failures.push_back({"/data/b.txt", EACCES});
  report.IndexError = EROFS;
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  EXPECT_FALSE(main.OnBackupFailed(report));
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  const TScriptedDialogs::TMessage& question = dialogs_.Messages[0];
  EXPECT_EQ(question.DefaultButton, QMessageBox::No);
  EXPECT_EQ(question.Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(question.Text.contains(QStringLiteral("/data/a.txt")));
  EXPECT_TRUE(question.Text.contains(hovrak::FromNarrow(hovrak::SystemErrorText(ENOSPC))));
  EXPECT_TRUE(question.Text.contains(QStringLiteral("/data/b.txt")));
  EXPECT_TRUE(question.Text.contains(FromNarrow(settingsPath_)));
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
  EXPECT_TRUE(main.OnBackupFailed(report));
}

TEST_F(MainWindowTest, SizeQuestionIsAnInformationYesNoBox) {
  TfrmMain& main = Start();
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  EXPECT_FALSE(main.App().Backup->OnConfirmSize(4 * 1048576));
  dialogs_.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Yes; };
  EXPECT_TRUE(main.App().Backup->OnConfirmSize(4 * 1048576));
  ASSERT_EQ(dialogs_.Messages.size(), 2u);
  EXPECT_EQ(dialogs_.Messages[0].Caption, QStringLiteral("Mirun"));
  EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Information);
  EXPECT_EQ(dialogs_.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(dialogs_.Messages[0].Text,
            QStringLiteral("置換されるファイルの合計が4.00MBあります。\nバックアップしますか？"));
}

// ---------------------------------------------------------------------------------
// Unexpected exceptions

TEST(ApplicationTest, GuardReportsAndEndsWithCodeOne) {
  TScriptedDialogs dialogs;
  std::vector<int> codes;
  auto& hook = TApplication::ExitHook();
  const auto saved = hook;
  hook = [&codes](int code) { codes.push_back(code); };
  EXPECT_FALSE(TApplication::Guard([]() -> bool { throw std::runtime_error("boom"); }));
  EXPECT_FALSE(TApplication::Guard([]() -> bool { throw 42; }));
  EXPECT_TRUE(TApplication::Guard([]() { return true; }));
  hook = saved;
  EXPECT_EQ(codes, (std::vector<int>{1, 1}));
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, Msg(56) + QStringLiteral("\nboom\n") + Msg(57));
  EXPECT_EQ(dialogs.Messages[0].Caption, QStringLiteral("Mirun"));
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Error);
  EXPECT_EQ(dialogs.Messages[1].Text,
            Msg(56) + QLatin1Char('\n') + TApplication::UnknownExceptionText() + QLatin1Char('\n') + Msg(57));
}

// The process that meets an exception in a handler ends with 1 and writes no
// settings (run in a child process).
TEST(ApplicationTest, ExceptionInAHandlerEndsTheProgramWithoutSettings) {
  // The child is a fresh run of this test program (Qt has threads by now, which a
  // plain fork would not carry over); it finds the folder through the environment.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::unique_ptr<TTempDir> home;
  if (!std::getenv("MIRUN_TEST_CRASH_HOME")) {
    home = std::make_unique<TTempDir>();
    setenv("MIRUN_TEST_CRASH_HOME", home->Path().c_str(), 1);
  }
  const std::string settings = std::string(std::getenv("MIRUN_TEST_CRASH_HOME")) + "/Mirun.kel";
  EXPECT_EXIT(
      {
        TScriptedDialogs dialogs;
        dialogs.OnMessage = [](const TScriptedDialogs::TMessage& m) {
          std::fprintf(stderr, "[%s]\n", m.Text.toUtf8().constData());
          return QMessageBox::Ok;
        };
        TfrmMain main(settings);
        main.StartUp({});
        main.show();
        QTimer::singleShot(0, &main, []() { throw std::runtime_error("handler failed"); });
        QTimer::singleShot(2000, qApp, &QCoreApplication::quit);
        QApplication::exec();
        main.SaveSettings();
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(1), "handler failed");
  struct stat st;
  EXPECT_NE(::stat(settings.c_str(), &st), 0);
  unsetenv("MIRUN_TEST_CRASH_HOME");
}
