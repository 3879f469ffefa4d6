#include "ui/frmResult.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/frmMain.h"

TfrmResult::TfrmResult(TfrmMain& main) : QWidget(&main, Qt::Window), main_(main) {
  cmbReplacing = new QComboBox(this);
  stbPanel0 = new QLabel(this);
  stbPanel1 = new QLabel(this);
}

void TfrmResult::RefreshPlaces(bool, bool) {}

void TfrmResult::SetStatusText(const QString& text) { stbPanel0->setText(text); }

void TfrmResult::SetReplaceEnabled(bool) {}

void TfrmResult::FocusReplacing() {}
