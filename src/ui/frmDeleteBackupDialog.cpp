#include "ui/frmDeleteBackupDialog.h"

#include <QTreeWidget>

#include "ui/Dialogs.h"

TfrmDeleteBackupDialog::TfrmDeleteBackupDialog(const TBackup::TUnitPointers&, QWidget* parent) : QDialog(parent) {
  lsvUnits = new QTreeWidget(this);
}

bool TfrmDeleteBackupDialog::ShowDeleteBackupDialog(QWidget* parent, const TBackup::TUnitPointers& units) {
  TfrmDeleteBackupDialog dialog(units, parent);
  return TDialogs::Current().Exec(dialog) == QMessageBox::Yes;
}
