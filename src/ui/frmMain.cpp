#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ui/frmAbout.h"
#include "ui/frmConfirm.h"
#include "ui/frmOption.h"
#include "ui/frmProcess.h"
#include "ui/frmResult.h"
#include "backup/Backup.h"
#include "settings/Option.h"

TfrmMain::TfrmMain(const std::string& settingsPath, QWidget* parent)
    : QMainWindow(parent), settingsPath_(settingsPath) {
  cmbPath = new QComboBox(this);
  cmbFilter = new QComboBox(this);
  cmbSearched = new QComboBox(this);
  frmResult_ = new TfrmResult(*this);
  frmOption_ = new TfrmOption(*app_.Option, *app_.Backup, this);
  frmProcess_ = new TfrmProcess(this);
  frmConfirm_ = new TfrmConfirm(this);
  frmAbout_ = new TfrmAbout(this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::StartUp(const std::vector<std::string>&) {}

void TfrmMain::SaveSettings() {}

void TfrmMain::ApplyArguments(const std::vector<std::string>&) {}

void TfrmMain::SetState(TUiState state) { state_ = state; }

void TfrmMain::ShowStatus(const QString&) {}

QString TfrmMain::SearchedText() const { return cmbSearched->currentText(); }

void TfrmMain::UpdateHistory(QComboBox*) {}

void TfrmMain::OptionsChanged() {}

void TfrmMain::btnSearchClick() {}

TStringVector TfrmMain::History(THistory) const { return {}; }

void TfrmMain::SetHistory(THistory, const TStringVector&) {}

TPersistentWindows::TBounds TfrmMain::Bounds(TWindow) const { return {}; }

void TfrmMain::SetBounds(TWindow, const TBounds&) {}
