#pragma once
// The result window: the places of the last search in an owner-drawn list (tick,
// hit centred in its context, file, line), the replacement box, preview and
// replace, the popup menu (view window, external editor, copy path).

#include <vector>

#include <QWidget>

#include "shared/MessageTable.h"
#include "ui/PreviewRow.h"
#include "ui/UiState.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class TAbstractPlaceList;
class TfrmMain;
class TPlacesHeader;
class TPlacesView;

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
  // The main window's state decides which controls work: preview and replace only
  // with results (replace only while a place is ticked), and nothing that changes
  // ticks, options or the place list while a run reads them.
  void ApplyState(TUiState state);
  void FocusReplacing();

  // The focused row of the list.
  int CurrentRow() const;
  void SetCurrentRow(int row);
  // Inverts a place's tick (rows outside the list do nothing).
  void ToggleCheck(int row);
  void SetAllChecks(bool value);
  // Starts the external editor on the place of a row, or says why it cannot.
  void OpenInEditor(int row);
  // The ticked places with their lines before and after what the replacement box's
  // text would make of them, as the preview lists them.
  std::vector<TPreviewRow> PreviewRows() const;
  // The status text row that ends a replace with this outcome.
  static TMsg ReplaceStatusRow(int outcome);

  // Buttons and menu items, also for tests.
  void btnAllOnClick();
  void btnAllOffClick();
  void btnConfirmClick();
  void btnReplaceClick();
  void btnReplacingEditClick();
  void mniViewClick();
  void mniEditorClick();
  void mniCopyPathClick();

  QFrame* pnlPlaces = nullptr;
  TPlacesHeader* pnlPlacesHead = nullptr;
  TPlacesView* scbPlaces = nullptr;
  QWidget* pbxPlaces = nullptr;  // the list surface: the scroll area's viewport
  QWidget* edtPlacesDummy = nullptr;
  QLabel* lblReplacing = nullptr;
  QComboBox* cmbReplacing = nullptr;
  QPushButton* btnConfirm = nullptr;
  QPushButton* btnReplace = nullptr;
  QPushButton* btnAllOn = nullptr;
  QPushButton* btnAllOff = nullptr;
  QPushButton* btnReplacingEdit = nullptr;
  QStatusBar* stbMain = nullptr;
  QLabel* stbPanel0 = nullptr;
  QLabel* stbPanel1 = nullptr;
  QMenu* pmnPlaces = nullptr;
  QAction* mniView = nullptr;
  QAction* mniEditor = nullptr;
  QAction* mniCopyPath = nullptr;
  QTimer* tmrRedrawPlaces = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TAbstractPlaceList* List() const;
  // Found or NotFound: the places may be opened.
  bool ShowsResults() const;
  bool NarrowList() const;
  void PopupMenu(const QPoint& globalPos);
  void ListDoubleClicked();
  // A message box with the designed caption and the warning icon.
  void Warn(TMsg row);
  // An exception out of the core in a handler: told, never let into the event loop.
  void ShowError(const std::exception& error);
  // Replace works in Found while at least one place is ticked.
  void UpdateReplaceEnabled();
  // What the replace run did: the status line, and a message when something was
  // left out or older backups were deleted.
  void ShowReplaceSummary(int outcome);
  bool Running() const;

  TfrmMain& main_;
};
