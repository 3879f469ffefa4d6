#include "ui/frmFileErrorDialog.h"

#include "ui/Dialogs.h"

TfrmFileErrorDialog::TfrmFileErrorDialog(const QString&, bool, QWidget* parent) : QDialog(parent) {}

int TfrmFileErrorDialog::ShowFileErrorDialog(QWidget* parent, const QString& message, bool forcible) {
  TfrmFileErrorDialog dialog(message, forcible, parent);
  return TDialogs::Current().Exec(dialog);
}
