#include "ui/frmMain.h"

#include <algorithm>
#include <array>
#include <exception>

#include <QComboBox>
#include <QSignalBlocker>

#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "front/ExitSettingsSave.h"
#include "front/StartSaveJournal.h"
#include "settings/History.h"
#include "shared/MessageTable.h"
#include "ui/Dialogs.h"
#include "ui/MessageCaption.h"
#include "ui/PlacesHeader.h"
#include "ui/UiText.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

// What the main window keeps between starts: the settings file read at start and
// written at exit, and the histories, window bounds and column widths it holds.

void TfrmMain::LoadSettings() {
  // A settings file that cannot be read leaves the defaults; one that reads badly
  // keeps what was read before the fault. Neither stops the program.
  try {
    serializer_.LoadFromFile(settingsPath_);
  } catch (const std::exception&) {
  }
}

void TfrmMain::TellRecoveredSaves() {
  std::string repaired, kept;
  for (const hovrak::TRecoveredSave& item : hovrak::StartSaveJournal()) {
    if (item.Kind == hovrak::TRecoveredSave::TKind::Repaired) repaired += "\n" + item.Path;
    else kept += "\n" + item.Path + "\n    → " + item.CopyPath;
  }
  std::string text;
  if (!repaired.empty()) text = MessageTable(TMsg::SaveRecovered) + repaired;
  if (!kept.empty()) text += (text.empty() ? "" : "\n\n") + std::string(MessageTable(TMsg::SaveNotRecovered)) + kept;
  if (!text.empty())
    TDialogs::Current().Message(this, hovrak::MessageCaption(), hovrak::FromNarrow(text), TDialogs::TIcon::Warning,
                                QMessageBox::Ok);
}

void TfrmMain::SaveSettings() {
  // Another process (mirun-cli) may have added units to the file since it was read:
  // they are merged in under the index lock, so no backup copy loses its entry.
  TSettingsBackupIndex index(settingsPath_);
  hovrak::SaveSettingsKeepingUnits(*app_.Backup, index, [this] { return serializer_.SaveToFile(settingsPath_); });
}

// ---------------------------------------------------------------------------------
// Persistent windows

QComboBox* TfrmMain::HistoryBox(THistory history) const {
  switch (history) {
    case THistory::Path: return cmbPath;
    case THistory::Filter: return cmbFilter;
    case THistory::Searched: return cmbSearched;
    case THistory::Replacing: return frmResult_->cmbReplacing;
  }
  return nullptr;
}

TStringVector TfrmMain::History(THistory history) const {
  TStringVector items;
  const QComboBox* box = HistoryBox(history);
  if (!box) return items;
  for (int i = 0; i < box->count(); ++i) items.push_back(hovrak::ToNarrow(box->itemText(i)));
  return items;
}

void TfrmMain::SetHistory(THistory history, const TStringVector& items) {
  QComboBox* box = HistoryBox(history);
  if (!box) return;
  const QSignalBlocker blocker(box);
  box->clear();
  // A hand-edited file may hold more than the rule allows.
  const std::size_t n = std::min(items.size(), hovrak::kMaxHistoryItems);
  for (std::size_t i = 0; i < n; ++i) box->addItem(hovrak::FromNarrow(items[i]));
  box->setEditText(QString());
}

TPersistentWindows::TBounds TfrmMain::Bounds(TWindow window) const {
  TBounds bounds;
  switch (window) {
    case TWindow::Main:
      bounds.Left = x();
      bounds.Top = y();
      bounds.Width = width();
      bounds.Height = height();
      break;
    case TWindow::Result:
      bounds.Left = frmResult_->x();
      bounds.Top = frmResult_->y();
      bounds.Width = frmResult_->width();
      bounds.Height = frmResult_->height();
      break;
    case TWindow::View: bounds = frmView_->CurrentBounds(); break;
  }
  return bounds;
}

void TfrmMain::SetBounds(TWindow window, const TBounds& bounds) {
  switch (window) {
    case TWindow::Main: move(bounds.Left, bounds.Top); break;
    case TWindow::Result:
      frmResult_->move(bounds.Left, bounds.Top);
      // A size no window can have (hand-edited) keeps the current one.
      if (bounds.Width > 0 && bounds.Height > 0) frmResult_->resize(bounds.Width, bounds.Height);
      break;
    case TWindow::View:
      viewBounds_ = bounds;
      frmView_->ApplyBounds(bounds);
      break;
  }
}

std::vector<std::int32_t> TfrmMain::ColumnWidths() const {
  std::vector<std::int32_t> widths;
  for (const TPlaceColumn& column : frmResult_->pnlPlacesHead->Columns().Columns) widths.push_back(column.Width);
  return widths;
}

void TfrmMain::SetColumnWidths(const std::vector<std::int32_t>& widths) {
  // A list of another length was not written by this program.
  if (widths.size() != TPlaceColumns::kCount) return;
  std::array<int, TPlaceColumns::kCount> stored{};
  std::copy(widths.begin(), widths.end(), stored.begin());
  frmResult_->pnlPlacesHead->SetWidths(stored);
}
