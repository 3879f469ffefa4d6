#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "ScriptedDialogs.h"
#include "backup/Backup.h"
#include "front/TimeText.h"
#include "ui/UiText.h"
#include "ui/frmRestoreDialog.h"

namespace {

using boost::posix_time::time_from_string;
using hovrak::Msg;

// Three units as the index keeps them, oldest first; the middle one was restored.
struct TUnits {
  TBackup Backup;
  TBackupUnit Oldest{&Backup};
  TBackupUnit Restored{&Backup};
  TBackupUnit Newest{&Backup};
  TUnits() {
    Oldest.Time = time_from_string("2026-12-01 08:00:00");
    Oldest.Name = "20261201_080000";
    Oldest.BaseDir = "/home/user/文書";
    Oldest.Files = {"a.txt"};
    Oldest.Size = 500;
    Restored.Time = time_from_string("2026-12-05 10:30:00");
    Restored.Name = "20261205_103000";
    Restored.BaseDir = "/srv/data";
    Restored.Files = {"x/1.txt", "x/2.txt", "y.txt"};
    Restored.Size = 150000;
    Restored.Restored = time_from_string("2026-12-06 11:00:05");
    Newest.Time = time_from_string("2026-12-08 23:59:00");
    Newest.Name = "20261208_235900";
    Newest.BaseDir = "/home/user/資料";
    Newest.Files = {"b.txt", "c.txt"};
    Newest.Size = 3145728;
  }
  TBackup::TUnitPointers Pointers() const { return {&Oldest, &Restored, &Newest}; }
};

}  // namespace

TEST(RestoreDialog, ListsEveryUnitNewestFirstWithItsRestoreMark) {
  const TUnits units;
  TfrmRestoreDialog dialog(units.Pointers());
  EXPECT_EQ(dialog.windowTitle(), Msg(TMsg::RestoreTitle));
  EXPECT_EQ(dialog.lblMessage->text(), Msg(TMsg::RestoreDescription));
  const QTreeWidget* list = dialog.lsvUnits;
  ASSERT_EQ(list->columnCount(), 5);
  const TMsg columns[] = {TMsg::RestoreColumnTime, TMsg::RestoreColumnBaseDir, TMsg::RestoreColumnFiles,
                          TMsg::RestoreColumnSize, TMsg::RestoreColumnRestored};
  for (int column = 0; column < 5; ++column) EXPECT_EQ(list->headerItem()->text(column), Msg(columns[column]));
  ASSERT_EQ(list->topLevelItemCount(), 3);
  const QTreeWidgetItem* newest = list->topLevelItem(0);
  EXPECT_EQ(newest->text(0), QStringLiteral("2026年12月8日 23:59:00"));
  EXPECT_EQ(newest->text(1), QStringLiteral("/home/user/資料"));
  EXPECT_EQ(newest->text(2), QStringLiteral("2"));
  EXPECT_EQ(newest->text(3), QStringLiteral("3.00MB"));
  EXPECT_EQ(newest->text(4), QString());
  const QTreeWidgetItem* restored = list->topLevelItem(1);
  EXPECT_EQ(restored->text(1), QStringLiteral("/srv/data"));
  EXPECT_EQ(restored->text(2), QStringLiteral("3"));
  EXPECT_EQ(restored->text(3), QStringLiteral("146KB"));
  EXPECT_EQ(restored->text(4), QStringLiteral("2026年12月6日 11:00:05"));
  EXPECT_EQ(list->topLevelItem(2)->text(3), QStringLiteral("500バイト"));
  // The newest unit is chosen at first; restore is the default button.
  EXPECT_EQ(dialog.ChosenUnit(), "20261208_235900");
  EXPECT_TRUE(dialog.btnRestore->isDefault());
  EXPECT_TRUE(dialog.btnRestore->isEnabled());
  EXPECT_EQ(dialog.btnRestore->text(), Msg(TMsg::RestoreButton));
  EXPECT_EQ(dialog.btnCancel->text(), Msg(TMsg::Cancel));
  // Every column shows its texts whole.
  for (int column : {0, 2, 3, 4})
    EXPECT_GE(list->columnWidth(column), list->fontMetrics().horizontalAdvance(restored->text(column))) << column;
}

TEST(RestoreDialog, GivesTheChosenUnitOrNothing) {
  const TUnits units;
  TScriptedDialogs dialogs;
  int row = 1;
  const char* press = "btnRestore";
  dialogs.OnExec = [&](QDialog& dialog) {
    auto& restore = static_cast<TfrmRestoreDialog&>(dialog);
    restore.lsvUnits->setCurrentItem(restore.lsvUnits->topLevelItem(row));
    if (!press) return int(QDialog::Rejected);  // closed from the title bar
    dialog.findChild<QPushButton*>(press)->click();
    return dialog.result();
  };
  EXPECT_EQ(TfrmRestoreDialog::ShowRestoreDialog(nullptr, units.Pointers()), "20261205_103000");
  row = 2;
  EXPECT_EQ(TfrmRestoreDialog::ShowRestoreDialog(nullptr, units.Pointers()), "20261201_080000");
  press = "btnCancel";
  EXPECT_EQ(TfrmRestoreDialog::ShowRestoreDialog(nullptr, units.Pointers()), "");
  press = nullptr;
  EXPECT_EQ(TfrmRestoreDialog::ShowRestoreDialog(nullptr, units.Pointers()), "");
  EXPECT_EQ(dialogs.ExecTitles.size(), 4u);

  // With no row chosen the restore button does nothing.
  TfrmRestoreDialog dialog(units.Pointers());
  dialog.lsvUnits->clearSelection();
  dialog.btnRestore->click();
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(dialog.ChosenUnit(), "");
}

TEST(RestoreDialog, AnEmptyListSaysSoAndCannotRestore) {
  TScriptedDialogs dialogs;
  dialogs.OnExec = [](QDialog& dialog) {
    auto& restore = static_cast<TfrmRestoreDialog&>(dialog);
    EXPECT_EQ(restore.lblMessage->text(), Msg(TMsg::NoUnitToRestore));
    EXPECT_FALSE(restore.btnRestore->isEnabled());
    EXPECT_TRUE(restore.btnCancel->isDefault());
    restore.btnRestore->click();
    return restore.result() == 0 ? int(QDialog::Accepted) : restore.result();  // even a forced accept
  };
  EXPECT_EQ(TfrmRestoreDialog::ShowRestoreDialog(nullptr, {}), "");
  EXPECT_EQ(dialogs.ExecTitles.size(), 1u);
}
