#pragma once
// Asks whether young backup units may be deleted to keep the backup folder under
// its size limit; lists each unit's folder, time and name.

#include <QDialog>

#include "backup/Backup.h"

class QTreeWidget;

class TfrmDeleteBackupDialog : public QDialog {
  Q_OBJECT
 public:
  TfrmDeleteBackupDialog(const TBackup::TUnitPointers& units, QWidget* parent = nullptr);

  // Shows the dialog through the dialogs seam; true exactly when Yes was chosen.
  static bool ShowDeleteBackupDialog(QWidget* parent, const TBackup::TUnitPointers& units);

  QTreeWidget* lsvUnits = nullptr;
};
