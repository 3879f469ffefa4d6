#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <QPushButton>
#include <QTreeWidget>

#include "ScriptedDialogs.h"
#include "backup/Backup.h"
#include "front/TimeText.h"
#include "ui/UiText.h"
#include "ui/frmDeleteBackupDialog.h"

namespace {

using boost::posix_time::time_from_string;

struct TUnits {
  TBackup Backup;
  TBackupUnit Older{&Backup};
  TBackupUnit Newer{&Backup};
  TUnits() {
    Older.Time = time_from_string("2005-03-14 09:05:07");
    Older.BaseDir = "/home/user/文書";
    Older.Name = "20050314_090507";
    Newer.Time = time_from_string("2024-12-01 23:59:00");
    Newer.BaseDir = "/srv/data";
    Newer.Name = "20241201_235900";
  }
  TBackup::TUnitPointers Pointers() const { return {&Older, &Newer}; }
};

}  // namespace

TEST(DeleteBackupDialog, ListsUnitsInTheGivenOrder) {
  const TUnits units;
  TfrmDeleteBackupDialog dialog(units.Pointers());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirun"));
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  const QTreeWidget* list = dialog.lsvUnits;
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("バックアップ元フォルダ"));
  EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("バックアップ日時"));
  EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("バックアップ名"));
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("/home/user/文書"));
  EXPECT_EQ(list->topLevelItem(0)->text(1), hovrak::FromNarrow(hovrak::TimeText(units.Older.Time)));
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("20050314_090507"));
  EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("/srv/data"));
  EXPECT_EQ(list->topLevelItem(1)->text(1), hovrak::FromNarrow(hovrak::TimeText(units.Newer.Time)));
  EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("20241201_235900"));
}

TEST(DeleteBackupDialog, TimeColumnReadsAsInJapanese) {
  const TUnits units;
  TfrmDeleteBackupDialog dialog(units.Pointers());
  ASSERT_EQ(dialog.lsvUnits->topLevelItemCount(), 2);
  EXPECT_EQ(dialog.lsvUnits->topLevelItem(0)->text(1), QStringLiteral("2005年3月14日 9:05:07"));
  EXPECT_EQ(dialog.lsvUnits->topLevelItem(1)->text(1), QStringLiteral("2024年12月1日 23:59:00"));
}

TEST(DeleteBackupDialog, YesOnlyWhenYesWasChosen) {
  const TUnits units;
  TScriptedDialogs dialogs;
  const char* press = nullptr;
  dialogs.OnExec = [&](QDialog& dialog) {
    if (!press) return int(QDialog::Rejected);  // closed some other way
    dialog.findChild<QPushButton*>(press)->click();
    return dialog.result();
  };
  press = "Button1";
  EXPECT_TRUE(TfrmDeleteBackupDialog::ShowDeleteBackupDialog(nullptr, units.Pointers()));
  press = "Button2";
  EXPECT_FALSE(TfrmDeleteBackupDialog::ShowDeleteBackupDialog(nullptr, units.Pointers()));
  press = nullptr;
  EXPECT_FALSE(TfrmDeleteBackupDialog::ShowDeleteBackupDialog(nullptr, units.Pointers()));
  EXPECT_EQ(dialogs.ExecTitles.size(), 3u);

  TfrmDeleteBackupDialog dialog(units.Pointers());
  EXPECT_TRUE(dialog.Button1->isDefault());
  EXPECT_EQ(dialog.Button1->text(), QStringLiteral("はい(&Y)"));
  EXPECT_EQ(dialog.Button2->text(), QStringLiteral("いいえ(&N)"));
}
