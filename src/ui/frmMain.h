#pragma once
// The main window: the user states a search here. It owns the application core and
// the settings serializer, creates the other windows, holds the user-interface state
// that decides which windows and controls are usable, keeps the input histories,
// and answers the core's callbacks (progress, places, file errors, backup
// questions) through the other windows. Its parts, one file each: construction
// (frmMain), controls (frmMainControls), the search and the callbacks
// (frmMainSearch), commands (frmMainCommands), settings and window places
// (frmMainSettings); the hand-over queue, the run's questions and the undo are
// helpers of their own (THandOverQueue, TRunQuestions, TRestoreRun).

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QStringList>

#include "core/MirunApp.h"
#include "settings/PersistentWindows.h"
#include "settings/Serializer.h"
#include "text/FileOperationResult.h"
#include "ui/UiState.h"

class TSettingsBackupIndex;
class THandOverQueue;
class TRunQuestions;
struct TBackupReport;

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QAction;
class QUrl;
class TfrmResult;
class TfrmOption;
class TfrmProcess;
class TfrmConfirm;
class TfrmAbout;
class TfrmView;
class TfrmCopyResult;
class TfrmHelp;

class TfrmMain : public QMainWindow, public TPersistentWindows {
  Q_OBJECT
 public:
  // settingsPath: the settings file to load and to write at exit.
  explicit TfrmMain(const std::string& settingsPath, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Start-up after construction: default layout, settings, callbacks, default
  // filters, search box from the clipboard, the program's own arguments, the
  // one-time notice about older settings.
  void StartUp(const std::vector<std::string>& args);
  // Writes the settings file (at normal exit), keeping backup units that another
  // process added meanwhile.
  void SaveSettings();
  // Applies the program's own switches (targets, -s, -f, -m, -r/-R, option letters,
  // -K, -n) to the boxes and the options.
  void ApplyArguments(const std::vector<std::string>& args);

  TMirunApp& App() { return app_; }
  TUiState State() const { return state_; }
  void SetState(TUiState state);
  // Into panel 0 of the result window's status bar when it is visible, else the
  // main window's.
  void ShowStatus(const QString& text);
  // The folder the progress texts and the result list shorten paths against.
  const std::string& DisplayBase() const { return displayBase_; }
  // The search box's text as typed.
  QString SearchedText() const;
  // The history rule on one combo box: line breaks removed, moved or inserted at
  // the top, at most 50 items.
  void UpdateHistory(QComboBox* box);
  // After the options changed elsewhere: reload mode and subfolder controls and go
  // to Ready (which discards the results).
  void OptionsChanged();

  // Starts a search as the search button does (ignored unless Ready, Found or
  // NotFound).
  void btnSearchClick();
  // Any change of the search conditions discards the results (Found, NotFound ->
  // Ready).
  void ctlSearchChange();
  // Forgets the file-error kinds the user chose to skip always (every search and
  // replace starts with none).
  void ClearSkipAll() { skipAll_.clear(); }

  // Commands of the menus and buttons.
  void btnPathRefClick();
  void mniDirRefClick();
  void mniFileRefClick();
  void btnSearchedEditClick();
  void mniOptionClick();
  void mniHelpCClick();
  void mniAboutClick();
  // The CSV dialog over the current results, modal.
  void mniCopyResultClick();
  // Undo of a replace: choose a backup unit and put its files back.
  void mniRestoreClick();
  void tmrSearchTimer();
  // The target box := the paths, each quoted, joined by a blank; the state stays.
  void DropFiles(const QStringList& paths);
  // A later start of the program handed its arguments over: restore and raise the
  // window, apply them, Ready; then done(). Deferred while a run is active, while a
  // modal dialog is open, before the first show and while a search started by
  // arguments is pending; deferred hand-overs are applied one by one in the order
  // they came, each after the search the one before started has ended.
  void HandOver(const std::vector<std::string>& args, std::function<void()> done = {});
  // Hand-overs waiting for the state to allow them.
  std::size_t PendingHandOvers() const;

  // The core's callbacks as installed at start-up (public for tests).
  void OnProcess(TProcessType kind, const std::string& path, int index, int count);
  void OnPlaceAdded(TAbstractPlace* place);
  TDecision OnFileError(const std::string& path, TFileOperationResult result, int error = 0);
  // The parent of a question: the progress window while it is shown (so the question
  // stands above it), else this window.
  QWidget* QuestionParent();
  bool OnConfirmSize(std::uint64_t total);
  bool OnBackupFailed(const TBackupReport& report);

  // Files and folders the last search passed over without asking (too large,
  // unreadable); shown with the search's status text.
  int SkippedCount() const { return skipped_; }
  // The help page: next to the program file, else where an installation puts it
  // (share/mirun/help beside bin), else in the source tree; "" when none exists.
  static QString HelpFilePath();
  // Opens a web link of the help in the desktop's browser; tests replace it.
  std::function<bool(const QUrl&)> UrlOpener;
  // The settings file this window reads at start-up and writes at exit.
  const std::string& SettingsPath() const { return settingsPath_; }

  TfrmResult* frmResult() const { return frmResult_; }
  TfrmOption* frmOption() const { return frmOption_; }
  TfrmProcess* frmProcess() const { return frmProcess_; }
  TfrmConfirm* frmConfirm() const { return frmConfirm_; }
  TfrmAbout* frmAbout() const { return frmAbout_; }
  TfrmView* frmView() const { return frmView_; }
  TfrmCopyResult* frmCopyResult() const { return frmCopyResult_; }
  // The help window, made the first time help is asked for.
  TfrmHelp* frmHelp() const { return frmHelp_; }

  // TPersistentWindows
  TStringVector History(THistory history) const override;
  void SetHistory(THistory history, const TStringVector& items) override;
  TBounds Bounds(TWindow window) const override;
  void SetBounds(TWindow window, const TBounds& bounds) override;
  std::vector<std::int32_t> ColumnWidths() const override;
  void SetColumnWidths(const std::vector<std::int32_t>& widths) override;

  QLabel* lblPath = nullptr;
  QLabel* lblFilter = nullptr;
  QLabel* lblSearched = nullptr;
  QComboBox* cmbPath = nullptr;
  QPushButton* btnPathRef = nullptr;
  QComboBox* cmbFilter = nullptr;
  QComboBox* cmbSearched = nullptr;
  QPushButton* btnSearchedEdit = nullptr;
  QComboBox* cmbMode = nullptr;
  QCheckBox* chkSubDir = nullptr;
  QPushButton* btnOption = nullptr;
  QPushButton* btnSearch = nullptr;
  QLabel* stbPanel0 = nullptr;  // panel 0 of the status bar stbMain
  QMenu* mniTool = nullptr;
  QMenu* mniHelp = nullptr;
  QAction* mniOption = nullptr;
  QAction* mniCopyResult = nullptr;
  QAction* mniRestore = nullptr;
  QAction* mniHelpC = nullptr;
  QAction* mniAbout = nullptr;
  QMenu* pmnPathRef = nullptr;
  QAction* mniDirRef = nullptr;
  QAction* mniFileRef = nullptr;
  QTimer* tmrSearch = nullptr;
  QTimer* tmrHandOver = nullptr;  // looks again for a hand-over a modal dialog held up

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void DefaultLayout();
  void LoadSettings();
  // Tidies up after a run killed while it saved, and tells what it put right.
  void TellRecoveredSaves();
  void InstallCallbacks();
  void SetSearchControlsEnabled(bool enabled);
  void SetBusy(bool busy);
  QComboBox* HistoryBox(THistory history) const;
  void ReportSearchOutcome(int outcome, const QString& error);
  // Hand-over: whether the window can take one now (nothing runs or waits to run,
  // no modal dialog open), and taking one.
  bool HandOverAllowed() const;
  void ApplyHandOver(const std::vector<std::string>& args);

  std::string settingsPath_;
  TMirunApp app_;
  TSerializer serializer_;
  TUiState state_ = TUiState::Initial;
  std::string displayBase_;
  std::set<TFileOperationResult> skipAll_;
  std::unique_ptr<TSettingsBackupIndex> backupIndex_;
  TBounds viewBounds_;  // the view window's default or stored bounds
  int skipped_ = 0;
  bool busy_ = false;
  std::unique_ptr<TRunQuestions> questions_;
  THandOverQueue* handOvers_ = nullptr;  // a child of this window

  TfrmResult* frmResult_ = nullptr;
  TfrmOption* frmOption_ = nullptr;
  TfrmProcess* frmProcess_ = nullptr;
  TfrmConfirm* frmConfirm_ = nullptr;
  TfrmAbout* frmAbout_ = nullptr;
  TfrmView* frmView_ = nullptr;
  TfrmCopyResult* frmCopyResult_ = nullptr;
  TfrmHelp* frmHelp_ = nullptr;
};
