#include "ui/frmConfirm.h"

#include <QTreeWidget>

TfrmConfirm::TfrmConfirm(QWidget* parent) : QDialog(parent) { lsvConfirm = new QTreeWidget(this); }

void TfrmConfirm::Clear() {}

void TfrmConfirm::Add(const QString&, const QString&) {}
