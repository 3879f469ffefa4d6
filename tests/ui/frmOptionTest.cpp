#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <map>

#include "ScriptedDialogs.h"
#include "backup/Backup.h"
#include "settings/Option.h"
#include "ui/UiText.h"
#include "ui/frmOption.h"

namespace {

using boost::posix_time::hours;

class OptionDialog : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TOption option;
  TBackup backup;
  TfrmOption dialog{option, backup};

  // Shows the dialog afresh, as each showing by the main window does.
  void Show() {
    dialog.hide();
    dialog.show();
  }
  void Ok() { dialog.btnOk->click(); }
};

}  // namespace

TEST_F(OptionDialog, ShowingLoadsTheObjects) {
  option.Mode = TSearchMode::Word;
  option.SubDir = true;
  option.CaseSensitive = false;
  option.CharCode = TCharCode::EUC;
  option.CheckTime = false;
  option.MaxFileSize = 52428800;
  option.Editor = "gedit \"%p\"";
  option.EditorDefault = true;
  option.Backup = true;
  backup.MaxSize = 1048576 + 524288;  // one and a half megabytes
  backup.DeletableTime = hours(24 * 3 + 23);
  backup.BackupDir = "/var/backup";
  dialog.pgcMain->setCurrentIndex(1);
  Show();
  EXPECT_EQ(dialog.cmbMode->currentIndex(), 1);
  EXPECT_TRUE(dialog.chkSubDir->isChecked());
  EXPECT_FALSE(dialog.chkCaseSensitive->isChecked());
  EXPECT_EQ(dialog.cmbCharCode->currentIndex(), 4);
  EXPECT_EQ(dialog.cmbCharCode->currentText(), QStringLiteral("EUC_JP"));
  EXPECT_TRUE(dialog.chkCheckCharCode->isChecked());
  EXPECT_FALSE(dialog.chkCheckTime->isChecked());
  EXPECT_EQ(dialog.edtMaxFileSize->text(), QStringLiteral("50"));
  EXPECT_EQ(dialog.spnThreads->value(), 0);
  dialog.spnThreads->setValue(6);
  EXPECT_EQ(dialog.edtEditor->currentText(), QStringLiteral("gedit \"%p\""));
  EXPECT_TRUE(dialog.chkEditorDefault->isChecked());
  EXPECT_EQ(dialog.edtBackupMaxSize->text(), QStringLiteral("1"));
  EXPECT_EQ(dialog.edtBackupDeletableDay->text(), QStringLiteral("3"));
  EXPECT_EQ(dialog.edtBackupDir->text(), QStringLiteral("/var/backup"));
  EXPECT_EQ(dialog.pgcMain->currentWidget(), dialog.tbsSearchReplace);

  Ok();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(option.CharCode, TCharCode::EUC);
  EXPECT_EQ(option.Mode, TSearchMode::Word);
  EXPECT_TRUE(option.SubDir);
  EXPECT_FALSE(option.CaseSensitive);
  EXPECT_FALSE(option.CheckTime);
  EXPECT_EQ(option.Threads, 6);
  EXPECT_EQ(option.Editor, "gedit \"%p\"");
  EXPECT_EQ(backup.BackupDir, "/var/backup");
}

// OK without changes stores a size that was not a whole number of megabytes as
// the whole megabytes shown, and an age as the whole days shown.
TEST_F(OptionDialog, OkStoresTheWholeNumbersShown) {
  option.MaxFileSize = 52428800;
  backup.MaxSize = 1048576 + 524288;
  backup.DeletableTime = hours(24 * 3 + 23);
  Show();
  Ok();
  EXPECT_EQ(option.MaxFileSize, 52428800);
  EXPECT_EQ(backup.MaxSize, 1048576u);
  EXPECT_EQ(backup.DeletableTime, hours(24 * 3));
}

TEST_F(OptionDialog, CaptionsComeFromTheMessageTable) {
  EXPECT_EQ(dialog.windowTitle(), hovrak::Msg(TMsg::OptionTitle));
  EXPECT_EQ(dialog.pgcMain->tabText(0), hovrak::Msg(TMsg::TabSearchReplace));
  EXPECT_EQ(dialog.pgcMain->tabText(1), hovrak::Msg(TMsg::TabBackup));
  EXPECT_EQ(dialog.chkEscape->text(), hovrak::Msg(TMsg::UseEscapes));
  EXPECT_EQ(dialog.cmbCharCode->itemText(0), hovrak::Msg(TMsg::CharCodeAuto));
  EXPECT_EQ(dialog.cmbCharCode->count(), 8);
  EXPECT_EQ(dialog.btnOk->text(), hovrak::Msg(TMsg::Ok));
  EXPECT_EQ(dialog.btnCc->text(), hovrak::Msg(TMsg::Cancel));
  EXPECT_TRUE(dialog.btnOk->isDefault());
  for (const char* name : {"cmbMode",
                           "chkSubDir",
                           "chkByLine",
                           "chkCaseSensitive",
                           "chkEscape",
                           "chkShowLine",
                           "cmbCharCode",
                           "chkCheckCharCode",
                           "chkCheckTime",
                           "edtMaxFileSize",
                           "spnThreads",
                           "edtEditor",
                           "btnEditor",
                           "chkEditorDefault",
                           "chkBackup",
                           "edtBackupMaxSize",
                           "edtBackupDeletableDay",
                           "edtBackupDir",
                           "btnBackupDir",
                           "btnOk",
                           "btnCc"})
    EXPECT_NE(dialog.findChild<QWidget*>(name), nullptr) << name;
}

TEST_F(OptionDialog, EveryAccessKeyOfAPageIsItsOwn) {
  // Each page with the tabs and the buttons: one key, one control.
  for (QWidget* page : {dialog.tbsSearchReplace, dialog.tbsBackup}) {
    QStringList texts{dialog.pgcMain->tabText(0), dialog.pgcMain->tabText(1), dialog.btnOk->text(),
                      dialog.btnCc->text()};
    for (const QAbstractButton* button : page->findChildren<QAbstractButton*>()) texts << button->text();
    for (const QLabel* label : page->findChildren<QLabel*>()) texts << label->text();
    std::map<QChar, QString> keys;
    for (const QString& text : texts) {
      const int at = text.indexOf(QLatin1Char('&'));
      if (at < 0 || at + 1 >= text.size()) continue;
      const QChar key = text.at(at + 1).toUpper();
      EXPECT_EQ(keys.count(key), 0u) << text.toStdString() << " and " << keys[key].toStdString();
      keys[key] = text;
    }
  }
}

TEST_F(OptionDialog, TheNewDefaultsShowWhenTheSettingsHoldNone) {
  TBackup fresh;
  TfrmOption shown{option, fresh};
  shown.show();
  EXPECT_EQ(shown.edtBackupMaxSize->text(), QStringLiteral("1024"));
  EXPECT_EQ(shown.edtBackupDeletableDay->text(), QStringLiteral("7"));
}

TEST_F(OptionDialog, EditorPresetsDesignedLinesFirst) {
  const QStringList presets = TfrmOption::EditorPresets();
  ASSERT_GE(presets.size(), 8);
  EXPECT_EQ(presets[0], QStringLiteral("hidemaru /j%l,%c \"%p\""));
  EXPECT_EQ(presets[1], QStringLiteral("sakura \"%p\" -Y=%l -X=%c"));
  for (const char* editor : {"gedit ", "kate ", "code ", "gvim ", "emacs ", "mousepad "}) {
    const auto found = std::find_if(presets.begin(), presets.end(),
                                    [&](const QString& line) { return line.startsWith(QLatin1String(editor)); });
    ASSERT_NE(found, presets.end()) << editor;
    EXPECT_TRUE(found->contains(QStringLiteral("\"%p\"")) && found->contains(QStringLiteral("%l")) &&
                found->contains(QStringLiteral("%c")))
        << found->toStdString();
  }
  EXPECT_EQ(dialog.edtEditor->count(), presets.size());
  EXPECT_TRUE(dialog.edtEditor->isEditable());
}

TEST_F(OptionDialog, MegabyteAndDayFallbacks) {
  struct TCase {
    const char* Text;
    std::int64_t MaxFileSizeMB;  // edtMaxFileSize
    std::int64_t BackupMB;       // edtBackupMaxSize
    int Days;                    // edtBackupDeletableDay
  };
  const TCase cases[] = {
      {"", 50, 10, 0},        {"abc", 50, 10, 0},     {"0", 1, 1, 0},    {"-3", 1, 1, 365},
      {"200", 200, 200, 200}, {"400", 400, 400, 365}, {"-1", 1, 1, 365}, {"365", 365, 365, 365},
  };
  for (const TCase& c : cases) {
    Show();
    dialog.edtMaxFileSize->setText(QString::fromUtf8(c.Text));
    dialog.edtBackupMaxSize->setText(QString::fromUtf8(c.Text));
    dialog.edtBackupDeletableDay->setText(QString::fromUtf8(c.Text));
    dialog.chkBackup->setChecked(false);  // disabled fields are stored all the same
    Ok();
    EXPECT_EQ(option.MaxFileSize, c.MaxFileSizeMB * 1048576) << c.Text;
    EXPECT_EQ(backup.MaxSize, c.BackupMB * 1048576) << c.Text;
    EXPECT_EQ(backup.DeletableTime, hours(24 * c.Days)) << c.Text;
    // Showing again shows what was stored.
    Show();
    EXPECT_EQ(dialog.edtBackupDeletableDay->text(), QString::number(c.Days)) << c.Text;
    EXPECT_EQ(dialog.edtMaxFileSize->text(), QString::number(c.MaxFileSizeMB)) << c.Text;
  }
}

// A number of megabytes too big for the byte-count fields is stored as the largest
// whole number of megabytes that fits, never as a wrapped-around size.
TEST_F(OptionDialog, OversizedMegabytesStayInTheFields) {
  Show();
  dialog.edtMaxFileSize->setText(QStringLiteral("5000"));
  dialog.edtBackupMaxSize->setText(QStringLiteral("99999"));
  Ok();
  EXPECT_EQ(option.MaxFileSize, 2047 * 1048576);
  EXPECT_EQ(backup.MaxSize, 4095u * 1048576u);
  Show();
  EXPECT_EQ(dialog.edtMaxFileSize->text(), QStringLiteral("2047"));
  EXPECT_EQ(dialog.edtBackupMaxSize->text(), QStringLiteral("4095"));
}

TEST_F(OptionDialog, EnablingRules) {
  option.Mode = TSearchMode::Normal;
  option.Escape = false;
  option.ByLine = false;
  option.ShowLine = false;
  option.Backup = true;
  Show();
  EXPECT_TRUE(dialog.chkEscape->isEnabled());
  EXPECT_FALSE(dialog.chkEscape->isChecked());

  dialog.cmbMode->setCurrentIndex(2);  // 正規表現検索
  EXPECT_TRUE(dialog.chkEscape->isChecked());
  EXPECT_FALSE(dialog.chkEscape->isEnabled());
  dialog.cmbMode->setCurrentIndex(0);  // back to 普通の検索: enabled, still checked
  EXPECT_TRUE(dialog.chkEscape->isEnabled());
  EXPECT_TRUE(dialog.chkEscape->isChecked());

  dialog.chkByLine->click();
  EXPECT_TRUE(dialog.chkShowLine->isChecked());
  EXPECT_FALSE(dialog.chkShowLine->isEnabled());
  dialog.chkByLine->click();
  EXPECT_TRUE(dialog.chkShowLine->isEnabled());
  EXPECT_TRUE(dialog.chkShowLine->isChecked());

  dialog.chkBackup->click();
  for (QWidget* w :
       {static_cast<QWidget*>(dialog.edtBackupMaxSize), static_cast<QWidget*>(dialog.edtBackupDeletableDay),
        static_cast<QWidget*>(dialog.edtBackupDir), static_cast<QWidget*>(dialog.btnBackupDir)})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  // Disabled backup fields are still stored.
  dialog.edtBackupDir->setText(QStringLiteral("/elsewhere"));
  Ok();
  EXPECT_FALSE(option.Backup);
  EXPECT_EQ(backup.BackupDir, "/elsewhere");
  Show();
  EXPECT_FALSE(dialog.edtBackupDir->isEnabled());
}

// The rules also run when showing: regular expressions with Escape off and by-line
// with ShowLine off show locked, checked boxes, and OK stores them checked.
TEST_F(OptionDialog, RulesAtShowingAreStoredOnOk) {
  option.Mode = TSearchMode::Regex;
  option.Escape = false;
  option.ByLine = true;
  option.ShowLine = false;
  option.Backup = false;
  Show();
  EXPECT_TRUE(dialog.chkEscape->isChecked());
  EXPECT_FALSE(dialog.chkEscape->isEnabled());
  EXPECT_TRUE(dialog.chkShowLine->isChecked());
  EXPECT_FALSE(dialog.chkShowLine->isEnabled());
  EXPECT_FALSE(dialog.btnBackupDir->isEnabled());
  Ok();
  EXPECT_TRUE(option.Escape);
  EXPECT_TRUE(option.ShowLine);
  EXPECT_EQ(option.Mode, TSearchMode::Regex);
}

TEST_F(OptionDialog, CancelChangesNothing) {
  option.Editor = "kate";
  backup.BackupDir = "/b";
  Show();
  dialog.chkSubDir->click();
  dialog.cmbMode->setCurrentIndex(2);
  dialog.edtEditor->setEditText(QStringLiteral("other"));
  dialog.edtMaxFileSize->setText(QStringLiteral("3"));
  dialog.edtBackupDir->setText(QStringLiteral("/c"));
  dialog.btnCc->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  const TOption fresh;
  EXPECT_EQ(option.SubDir, fresh.SubDir);
  EXPECT_EQ(option.Mode, fresh.Mode);
  EXPECT_EQ(option.Escape, fresh.Escape);
  EXPECT_EQ(option.MaxFileSize, fresh.MaxFileSize);
  EXPECT_EQ(option.Editor, "kate");
  EXPECT_EQ(backup.BackupDir, "/b");
}

TEST_F(OptionDialog, ShowingPutsFirstPageInFrontAndFocusOnMode) {
  Show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.pgcMain->setCurrentIndex(1);
  dialog.edtBackupDir->setFocus();
  Show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.pgcMain->currentIndex(), 0);
  EXPECT_EQ(QApplication::focusWidget(), dialog.cmbMode);
  dialog.hide();
}

TEST_F(OptionDialog, EditorBrowse) {
  QString title;
  QString start;
  QString pick;
  dialogs.OnFile = [&](const QString& caption, const QString& from) {
    title = caption;
    start = from;
    return pick;
  };
  Show();
  // A quoted program: the browse starts at it; the picked program drops the old
  // arguments.
  dialog.edtEditor->setEditText(QStringLiteral("\"/opt/my editor/ed\" -n%l %p"));
  pick = QStringLiteral("/usr/bin/gedit");
  dialog.btnEditor->click();
  EXPECT_EQ(title, QStringLiteral("外部エディタの指定"));
  EXPECT_EQ(start, QStringLiteral("/opt/my editor/ed"));
  EXPECT_EQ(dialog.edtEditor->currentText(), QStringLiteral("\"/usr/bin/gedit\" \"%p\""));

  // Cancel keeps the text; an empty box starts from nothing.
  dialog.edtEditor->setEditText(QString());
  pick.clear();
  dialog.btnEditor->click();
  EXPECT_EQ(start, QString());
  EXPECT_EQ(dialog.edtEditor->currentText(), QString());
  dialog.edtEditor->setEditText(QStringLiteral("ed -n%l %p"));
  dialog.btnEditor->click();
  EXPECT_EQ(dialog.edtEditor->currentText(), QStringLiteral("ed -n%l %p"));

  // OK stores the text unchanged.
  Ok();
  EXPECT_EQ(option.Editor, "ed -n%l %p");
}

TEST_F(OptionDialog, BackupFolderBrowse) {
  QString title;
  QString start;
  QString pick;
  dialogs.OnDirectory = [&](const QString& caption, const QString& from) {
    title = caption;
    start = from;
    return pick;
  };
  backup.BackupDir = "/old/backup";
  Show();
  dialog.btnBackupDir->click();  // cancelled
  EXPECT_EQ(title, QStringLiteral("バックアップフォルダを指定してください。"));
  EXPECT_EQ(start, QStringLiteral("/old/backup"));
  EXPECT_EQ(dialog.edtBackupDir->text(), QStringLiteral("/old/backup"));
  pick = QStringLiteral("/new/バックアップ");
  dialog.btnBackupDir->click();
  EXPECT_EQ(dialog.edtBackupDir->text(), QStringLiteral("/new/バックアップ"));
  Ok();
  EXPECT_EQ(backup.BackupDir, "/new/バックアップ");

  // An empty folder text is taken as it stands.
  Show();
  dialog.edtBackupDir->clear();
  Ok();
  EXPECT_EQ(backup.BackupDir, "");
}
