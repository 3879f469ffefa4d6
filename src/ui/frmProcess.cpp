#include "ui/frmProcess.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TfrmProcess::TfrmProcess(QWidget* parent) : QDialog(parent) {}

void TfrmProcess::Update(const QString&, const QString&, int, int) {}

void TfrmProcess::StopCheck() {}

void TfrmProcess::showEvent(QShowEvent* event) { QDialog::showEvent(event); }

void TfrmProcess::reject() { stop_ = true; }
