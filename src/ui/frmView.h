#pragma once
// The view window: shows the file of one place in an editor with the hit selected,
// lets the user edit it and save it in place in its own character code and line
// ends. One instance lives as long as the main window; at most one file is loaded.

#include <memory>
#include <string>

#include <QMainWindow>

#include "front/ViewText.h"
#include "settings/PersistentWindows.h"

class QAction;
class QLabel;
class QMenu;
class TfrmMain;
class TSonEdit;

class TfrmView : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmView(TfrmMain& main);
  ~TfrmView() override;

  // Shows a place of the current place list: loads its file unless it is the one
  // shown (asking to save changes first), selects the hit.
  void ShowPlace(int index);
  // Saves the editor's text when it was changed, asking first when ask is set (Yes /
  // No, and Cancel when allowCancel). False only when allowCancel is set and the
  // user cancelled or the save failed.
  bool SaveChanges(bool ask, bool allowCancel);
  // Asks to save (without Cancel) and closes the window. The main window calls it
  // when it leaves the results.
  void CloseView();

  // The path of the file shown; "" when none.
  const std::string& ShownPath() const { return shownPath_; }
  // The text was changed since it was loaded or saved.
  bool Modified() const { return modified_; }
  // The file is shown but cannot be saved (the reason is in the status bar).
  bool ReadOnly() const { return readOnly_ != hovrak::TViewReadOnly::No; }

  // The window's place and size, kept by the main window's settings.
  void ApplyBounds(const TPersistentWindows::TBounds& bounds);
  TPersistentWindows::TBounds CurrentBounds() const;

  void mniSaveClick();
  void mniWrapClick();

  QMenu* mniFile = nullptr;
  QAction* mniSave = nullptr;
  QMenu* mniEdit = nullptr;
  QAction* mniUndo = nullptr;
  QAction* mniCut = nullptr;
  QAction* mniCopy = nullptr;
  QAction* mniPaste = nullptr;
  QMenu* mniFormat = nullptr;
  QAction* mniWrap = nullptr;
  QMenu* mniPopup = nullptr;
  QAction* mniPopupUndo = nullptr;
  QAction* mniPopupCut = nullptr;
  QAction* mniPopupCopy = nullptr;
  QAction* mniPopupPaste = nullptr;
  TSonEdit* sedFile = nullptr;
  QLabel* stbPanel0 = nullptr;    // "N行目"
  QLabel* stbReadOnly = nullptr;  // why the file cannot be saved, when it cannot

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Loads path and puts its text into the editor; false (after telling the user)
  // when it cannot be read.
  bool Load(const std::string& path);
  // One save of the editor's text; Retry/Cancel on failure. True when saved.
  bool Save();
  // The path as the result window shows it.
  QString DisplayPath() const;
  void ShowCaretLine();
  void Unload();

  TfrmMain& main_;
  std::unique_ptr<TFile<char>> narrow_;
  std::unique_ptr<TFile<wchar_t>> wide_;
  std::string shownPath_;
  bool modified_ = false;
  hovrak::TViewReadOnly readOnly_ = hovrak::TViewReadOnly::No;
  hovrak::TNarrowShown how_ = hovrak::TNarrowShown::Utf8;
};
