#include "ui/frmMain.h"

#include <algorithm>
#include <exception>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "front/ArgParser.h"
#include "front/PathListText.h"
#include "front/ShortSwitches.h"
#include "pattern/Escapes.h"
#include "platform/PathOps.h"
#include "platform/Utf8Sequence.h"
#include "settings/Option.h"
#include "ui/Dialogs.h"
#include "ui/HandOverQueue.h"
#include "ui/MessageCaption.h"
#include "ui/RunQuestions.h"
#include "ui/UiText.h"
#include "ui/frmAbout.h"
#include "ui/frmConfirm.h"
#include "ui/frmCopyResult.h"
#include "ui/frmHelp.h"
#include "ui/frmOption.h"
#include "ui/frmProcess.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

namespace {

// The clipboard text taken into the search box at start-up, at most.
constexpr std::size_t kClipboardBytes = 1024;

// The first bytes of UTF-8 text, cut back to a character boundary so that no
// character is split.
std::string Utf8Prefix(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && hovrak::IsUtf8Continuation(static_cast<unsigned char>(text[end]))) --end;
  return text.substr(0, end);
}

// Line feeds as the one-line form expects them: the clipboard on this system ends
// lines with LF alone, while EscapeLineBreaks turns CR LF into \n.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

TfrmMain::TfrmMain(const std::string& settingsPath, QWidget* parent)
    : QMainWindow(parent), settingsPath_(settingsPath) {
  UrlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  CreateControls();
  handOvers_ = new THandOverQueue(
      this, [this] { return HandOverAllowed(); },
      // A modal dialog closes without a state change: the queue looks again.
      [this] { return !IsBusy(state_) && QApplication::activeModalWidget(); },
      [this](const std::vector<std::string>& args) { ApplyHandOver(args); });
  tmrHandOver = handOvers_->Timer();
  // The other windows, in the designed order; the file error, delete-backup and
  // multi-line edit dialogs are made for each use.
  frmResult_ = new TfrmResult(*this);
  frmOption_ = new TfrmOption(*app_.Option, *app_.Backup, this);
  frmProcess_ = new TfrmProcess(this);
  questions_ = std::make_unique<TRunQuestions>(*this, *frmProcess_, settingsPath_);
  frmConfirm_ = new TfrmConfirm(this);
  // View window: one instance, shown by the result window.
  frmView_ = new TfrmView(*this);
  frmAbout_ = new TfrmAbout(this);
  frmCopyResult_ = new TfrmCopyResult(*this);
  serializer_.SetOption(app_.Option.get());
  serializer_.SetBackup(app_.Backup.get());
  serializer_.SetWindows(this);
}

TfrmMain::~TfrmMain() {
  SetBusy(false);
  // The other windows reach the core and this window; they go first.
  delete frmResult_;
  delete frmOption_;
  delete frmProcess_;
  delete frmConfirm_;
  delete frmView_;
  delete frmAbout_;
  delete frmCopyResult_;
  delete frmHelp_;
  frmHelp_ = nullptr;
  frmCopyResult_ = nullptr;
  frmResult_ = nullptr;
  frmOption_ = nullptr;
  frmProcess_ = nullptr;
  frmConfirm_ = nullptr;
  frmView_ = nullptr;
  frmAbout_ = nullptr;
  // The core outlives the windows the callbacks reach.
  app_.OnProcess.clear();
  app_.OnPlaceAdded.clear();
  app_.OnFileError.clear();
  app_.OnBackupFailed.clear();
  app_.OnSkipped.clear();
  app_.Backup->OnConfirmSize.clear();
  app_.Backup->OnConfirmDelete.clear();
  app_.Backup->IndexStore = nullptr;
}

// ---------------------------------------------------------------------------------
// Start-up

void TfrmMain::StartUp(const std::vector<std::string>& args) {
  DefaultLayout();
  LoadSettings();
  TellRecoveredSaves();
  InstallCallbacks();
  if (cmbFilter->count() == 0) {
    const QSignalBlocker blocker(cmbFilter);
    cmbFilter->addItem(QStringLiteral("*.txt *.htm *.html"));
    cmbFilter->addItem(QStringLiteral("*.c *.cpp *.h"));
  }
  for (QComboBox* box : {cmbPath, cmbFilter}) {
    if (box->count() > 0) {
      const QSignalBlocker blocker(box);
      box->setCurrentIndex(0);
    }
  }
  if (const QClipboard* clipboard = QGuiApplication::clipboard()) {
    const std::string text = Utf8Prefix(hovrak::ToNarrow(clipboard->text()), kClipboardBytes);
    cmbSearched->setEditText(hovrak::FromNarrow(EscapeLineBreaks(WithCrLf(text))));
  }
  ApplyArguments(args);
  if (serializer_.TakeOldSettingsNotice(hovrak::FolderOf(settingsPath_))) {
    TDialogs::Current().Message(this, hovrak::MessageCaption(), hovrak::Msg(TMsg::OldSettingsNotRead),
                                TDialogs::TIcon::Information, QMessageBox::Ok);
  }
}

void TfrmMain::ApplyArguments(const std::vector<std::string>& args) {
  const hovrak::arg_parser parser(args, "fmsK");
  // Values that name nothing are left unset, and so ignored.
  const TShortSwitches switches = TShortSwitches::Read(parser);
  if (!switches.Targets.empty()) cmbPath->setEditText(hovrak::FromNarrow(hovrak::TargetBoxText(switches.Targets)));
  if (switches.SearchText) cmbSearched->setEditText(hovrak::FromNarrow(*switches.SearchText));
  if (switches.Filters) cmbFilter->setEditText(hovrak::FromNarrow(*switches.Filters));
  if (switches.SubDir) chkSubDir->setChecked(*switches.SubDir);
  if (switches.Mode) cmbMode->setCurrentIndex(static_cast<int>(*switches.Mode));
  // Mode and subfolders go into the options too: the first show loads the two
  // controls from the options, and would otherwise undo -m, -r and -R.
  switches.ApplyTo(*app_.Option);
  if (switches.StartSearch) tmrSearch->start();
}

// ---------------------------------------------------------------------------------
// State

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (state_ != TUiState::Initial) return;
  {
    const QSignalBlocker modeBlocker(cmbMode);
    cmbMode->setCurrentIndex(std::clamp(static_cast<int>(app_.Option->Mode), 0, 2));
  }
  chkSubDir->setChecked(app_.Option->SubDir);
  SetState(TUiState::Ready);
}

void TfrmMain::SetState(TUiState state) {
  state_ = state;
  stbPanel0->clear();
  frmResult_->SetStatusText(QString());
  // Leaving the results closes the view window (asking to save its changes).
  if (frmView_->isVisible() && state != TUiState::Found && state != TUiState::NotFound) frmView_->CloseView();
  if (state == TUiState::Ready || state == TUiState::InSearch) {
    app_.PlaceList.reset();
    frmResult_->RefreshPlaces();
  }
  if (IsBusy(state)) skipAll_.clear();

  const bool editable = !IsBusy(state);
  SetSearchControlsEnabled(editable);
  // Undo writes files: only while no run is active.
  mniRestore->setEnabled(state == TUiState::Ready || state == TUiState::Found || state == TUiState::NotFound);
  frmResult_->ApplyState(state);
  // The about box is modal: opened during a run it would hold the run up.
  mniAbout->setEnabled(editable);
  // The CSV dialog works on results: only once a search has ended with them.
  mniCopyResult->setEnabled(state == TUiState::Found || state == TUiState::NotFound);
  if (state == TUiState::Ready || state == TUiState::NotFound) {
    if (!isActiveWindow()) cmbSearched->setFocus();
  } else if (state == TUiState::Found) {
    frmResult_->FocusReplacing();
  }

  const bool resultShown = state != TUiState::Initial && state != TUiState::Ready;
  if (resultShown) {
    frmResult_->show();
  } else {
    frmResult_->hide();
  }
  if (IsBusy(state)) {
    frmProcess_->show();
  } else {
    frmProcess_->hide();
  }
  SetBusy(IsBusy(state));
  if (!IsBusy(state)) handOvers_->Schedule();
}

void TfrmMain::SetSearchControlsEnabled(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{btnSearch, cmbPath, btnPathRef, cmbFilter, cmbSearched,
                                                          cmbMode, chkSubDir, btnOption, btnSearchedEdit})
    control->setEnabled(enabled);
  mniOption->setEnabled(enabled);
}

void TfrmMain::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void TfrmMain::ShowStatus(const QString& text) {
  if (frmResult_->isVisible()) {
    frmResult_->SetStatusText(text);
  } else {
    stbPanel0->setText(text);
  }
}

void TfrmMain::ctlSearchChange() {
  if (state_ == TUiState::Found || state_ == TUiState::NotFound) SetState(TUiState::Ready);
}

void TfrmMain::OptionsChanged() {
  {
    const QSignalBlocker modeBlocker(cmbMode);
    cmbMode->setCurrentIndex(std::clamp(static_cast<int>(app_.Option->Mode), 0, 2));
  }
  chkSubDir->setChecked(app_.Option->SubDir);
  SetState(TUiState::Ready);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (state_ == TUiState::Initial || IsBusy(state_)) {
    event->ignore();
    return;
  }
  SetState(TUiState::Ready);
  event->accept();
}

// ---------------------------------------------------------------------------------
// Hand-over from a later start

bool TfrmMain::HandOverAllowed() const {
  // Applying resets the state and drops the result list a run is filling; a search
  // that arguments asked for and that has not started yet must run first as well.
  // Nor while the user works in a modal dialog (options, CSV, an edit) whose results
  // it would drop.
  return state_ != TUiState::Initial && !IsBusy(state_) && !tmrSearch->isActive() && !QApplication::activeModalWidget();
}

void TfrmMain::HandOver(const std::vector<std::string>& args, std::function<void()> done) {
  handOvers_->Add(args, std::move(done));
}

std::size_t TfrmMain::PendingHandOvers() const { return handOvers_->Size(); }

void TfrmMain::ApplyHandOver(const std::vector<std::string>& args) {
  setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  show();
  ApplyArguments(args);
  SetState(TUiState::Ready);
  raise();
  activateWindow();
}

void TfrmMain::tmrSearchTimer() {
  tmrSearch->stop();
  btnSearchClick();
  handOvers_->Schedule();  // also when the search did not start
}
