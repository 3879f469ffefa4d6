#pragma once
// Lets the user choose the backup unit whose files an undo of a replace puts back:
// every unit of the index, newest first, with its time, base folder, file count,
// size and when it was last restored.

#include <string>

#include <QDialog>

#include "backup/Backup.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TfrmRestoreDialog : public QDialog {
  Q_OBJECT
 public:
  // units: the index, oldest first, as the backup store keeps it.
  TfrmRestoreDialog(const TBackup::TUnitPointers& units, QWidget* parent = nullptr);

  // The name of the unit on the chosen row; "" when none is chosen.
  std::string ChosenUnit() const;

  // Shows the dialog through the dialogs seam; the chosen unit's name, or "" when
  // it was cancelled or the list is empty.
  static std::string ShowRestoreDialog(QWidget* parent, const TBackup::TUnitPointers& units);

  QLabel* lblMessage = nullptr;
  QTreeWidget* lsvUnits = nullptr;
  QPushButton* btnRestore = nullptr;
  QPushButton* btnCancel = nullptr;
};
