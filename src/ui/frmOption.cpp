#include "ui/frmOption.h"

TfrmOption::TfrmOption(TOption& option, TBackup& backup, QWidget* parent)
    : QDialog(parent), option_(option), backup_(backup) {}

void TfrmOption::showEvent(QShowEvent* event) { QDialog::showEvent(event); }
