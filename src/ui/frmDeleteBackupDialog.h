#pragma once
// Asks whether young backup units may be deleted to keep the backup folder under
// its size limit; lists each unit's folder, time and name.

#include <QDialog>

#include "backup/Backup.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TfrmDeleteBackupDialog : public QDialog {
  Q_OBJECT
 public:
  TfrmDeleteBackupDialog(const TBackup::TUnitPointers& units, QWidget* parent = nullptr);

  // Shows the dialog through the dialogs seam; true exactly when Yes was chosen.
  static bool ShowDeleteBackupDialog(QWidget* parent, const TBackup::TUnitPointers& units);

  QLabel* Label1 = nullptr;
  QTreeWidget* lsvUnits = nullptr;
  QPushButton* Button1 = nullptr;  // Yes
  QPushButton* Button2 = nullptr;  // No
};
