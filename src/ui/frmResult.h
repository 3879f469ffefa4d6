#pragma once
// The result window: the places of the last search in an owner-drawn list (tick,
// hit centred in its context, file, line), the replacement box, preview and
// replace, the popup menu (external editor, copy path).

#include <QWidget>

#include "ui/UiState.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class TfrmMain;

class TfrmResult : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmResult(TfrmMain& main);

  // Refreshes the list from the core's place list: deferred (with keepCache) only
  // starts the 500 ms timer; otherwise resizes the list, redraws it and shows the
  // count.
  void RefreshPlaces(bool keepCache = false, bool deferred = false);
  // Run messages into status panel 0 (emptied by every state change).
  void SetStatusText(const QString& text);
  // The main window's state decides these.
  void SetReplaceEnabled(bool enabled);
  void FocusReplacing();

  QComboBox* cmbReplacing = nullptr;
  QPushButton* btnConfirm = nullptr;
  QPushButton* btnReplace = nullptr;
  QPushButton* btnAllOn = nullptr;
  QPushButton* btnAllOff = nullptr;
  QPushButton* btnReplacingEdit = nullptr;
  QStatusBar* stbMain = nullptr;
  QLabel* stbPanel0 = nullptr;
  QLabel* stbPanel1 = nullptr;

 private:
  TfrmMain& main_;
};
