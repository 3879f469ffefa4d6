#include "ui/frmMain.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <boost/format.hpp>

#include "backup/Backup.h"
#include "backup/BackupRestore.h"
#include "backup/SettingsBackupIndex.h"
#include "front/ArgParser.h"
#include "front/BackupUnitLines.h"
#include "front/DisplayBase.h"
#include "front/FileErrorQuestion.h"
#include "front/PathListText.h"
#include "front/RestoreSummaryText.h"
#include "front/ShortSwitches.h"
#include "front/SizeQuestionText.h"
#include "front/StartSaveJournal.h"
#include "front/TargetCheck.h"
#include "front/TimeText.h"
#include "pattern/Escapes.h"
#include "settings/History.h"
#include "settings/Option.h"
#include "shared/MessageTable.h"
#include "ui/Dialogs.h"
#include "ui/ElidedLabel.h"
#include "ui/PlacesHeader.h"
#include "ui/UiText.h"
#include "ui/frmAbout.h"
#include "ui/frmConfirm.h"
#include "ui/frmCopyResult.h"
#include "ui/frmDeleteBackupDialog.h"
#include "ui/frmFileErrorDialog.h"
#include "ui/frmHelp.h"
#include "ui/frmMultiLineEdit.h"
#include "ui/frmOption.h"
#include "ui/frmProcess.h"
#include "ui/frmRestoreDialog.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

namespace {

const QString kCaption = QStringLiteral("Mirun");
// The clipboard text taken into the search box at start-up, at most.
constexpr std::size_t kClipboardBytes = 1024;
// Copies that could not be made, named one by one in the question; the rest counted.
constexpr std::size_t kListedFailures = 20;

bool IsBusy(TUiState state) { return state == TUiState::InSearch || state == TUiState::InReplace; }

// The first bytes of UTF-8 text, cut back to a character boundary so that no
// character is split.
std::string Utf8Prefix(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
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

// The folder of a file path ("" for a bare name).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// While a question is up, the normal cursor: the busy cursor of a run would say the
// program is not waiting for the user.
class TQuestionCursor {
 public:
  TQuestionCursor() : overridden_(QApplication::overrideCursor() != nullptr) {
    if (overridden_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~TQuestionCursor() {
    if (overridden_) QApplication::restoreOverrideCursor();
  }
  TQuestionCursor(const TQuestionCursor&) = delete;
  TQuestionCursor& operator=(const TQuestionCursor&) = delete;

 private:
  bool overridden_;
};

}  // namespace

TfrmMain::TfrmMain(const std::string& settingsPath, QWidget* parent)
    : QMainWindow(parent), settingsPath_(settingsPath) {
  UrlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  CreateControls();
  // The other windows, in the designed order; the file error, delete-backup and
  // multi-line edit dialogs are made for each use.
  frmResult_ = new TfrmResult(*this);
  frmOption_ = new TfrmOption(*app_.Option, *app_.Backup, this);
  frmProcess_ = new TfrmProcess(this);
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

void TfrmMain::CreateControls() {
  setWindowTitle(hovrak::Msg(0));
  setObjectName(QStringLiteral("frmMain"));
  setWindowRole(objectName());
  setFont(hovrak::JapaneseFont(false));
  setAcceptDrops(true);

  mniTool = menuBar()->addMenu(hovrak::Msg(1));
  mniTool->setObjectName(QStringLiteral("mniTool"));
  mniOption = mniTool->addAction(hovrak::Msg(2));
  mniOption->setObjectName(QStringLiteral("mniOption"));
  mniCopyResult = mniTool->addAction(hovrak::Msg(3));
  mniCopyResult->setObjectName(QStringLiteral("mniCopyResult"));
  mniRestore = mniTool->addAction(hovrak::Msg(112));
  mniRestore->setObjectName(QStringLiteral("mniRestore"));
  mniRestore->setEnabled(false);  // until the first show enters Ready
  mniHelp = menuBar()->addMenu(hovrak::Msg(4));
  mniHelp->setObjectName(QStringLiteral("mniHelp"));
  mniHelpC = mniHelp->addAction(hovrak::Msg(5));
  mniHelpC->setObjectName(QStringLiteral("mniHelpC"));
  mniAbout = mniHelp->addAction(hovrak::Msg(6));
  mniAbout->setObjectName(QStringLiteral("mniAbout"));

  auto* client = new QWidget(this);
  auto* grid = new QGridLayout(client);
  grid->setContentsMargins(8, 8, 8, 4);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(6);

  const auto makeBox = [client](const char* name) {
    auto* box = new QComboBox(client);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);  // the history rule inserts, not Qt
    box->setCompleter(nullptr);
    box->setMaxVisibleItems(20);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
  };
  const auto makeLabel = [client](const char* name, int row, QWidget* buddy) {
    auto* label = new QLabel(hovrak::Msg(row), client);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
  };
  const auto makeDots = [client](const char* name) {
    auto* button = new QPushButton(QStringLiteral("..."), client);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    return button;
  };

  cmbPath = makeBox("cmbPath");
  lblPath = makeLabel("lblPath", 7, cmbPath);
  btnPathRef = makeDots("btnPathRef");
  cmbFilter = makeBox("cmbFilter");
  lblFilter = makeLabel("lblFilter", 8, cmbFilter);
  cmbSearched = makeBox("cmbSearched");
  cmbSearched->setFont(hovrak::JapaneseFont(true));
  lblSearched = makeLabel("lblSearched", 9, cmbSearched);
  btnSearchedEdit = makeDots("btnSearchedEdit");
  btnSearchedEdit->setToolTip(hovrak::Msg(110));

  cmbMode = new QComboBox(client);
  cmbMode->setObjectName(QStringLiteral("cmbMode"));
  cmbMode->addItems({hovrak::Msg(11), hovrak::Msg(12), hovrak::Msg(13)});
  chkSubDir = new QCheckBox(hovrak::Msg(14), client);
  chkSubDir->setObjectName(QStringLiteral("chkSubDir"));
  btnOption = new QPushButton(hovrak::Msg(16), client);
  btnOption->setObjectName(QStringLiteral("btnOption"));
  btnOption->setAutoDefault(false);
  btnSearch = new QPushButton(hovrak::Msg(15), client);
  btnSearch->setObjectName(QStringLiteral("btnSearch"));
  btnSearch->setDefault(true);

  grid->addWidget(lblPath, 0, 0);
  grid->addWidget(cmbPath, 0, 1);
  grid->addWidget(btnPathRef, 0, 2);
  grid->addWidget(lblFilter, 1, 0);
  grid->addWidget(cmbFilter, 1, 1, 1, 2);
  grid->addWidget(lblSearched, 2, 0);
  grid->addWidget(cmbSearched, 2, 1);
  grid->addWidget(btnSearchedEdit, 2, 2);
  auto* bottom = new QHBoxLayout();
  bottom->setSpacing(8);
  bottom->addWidget(cmbMode);
  bottom->addWidget(chkSubDir);
  bottom->addStretch(1);
  bottom->addWidget(btnOption);
  bottom->addWidget(btnSearch);
  grid->addLayout(bottom, 3, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  setCentralWidget(client);

  stbPanel0 = new TElidedLabel(this);
  stbPanel0->setObjectName(QStringLiteral("stbPanel0"));
  stbPanel0->setMinimumWidth(50);
  statusBar()->setObjectName(QStringLiteral("stbMain"));
  statusBar()->addWidget(stbPanel0, 1);

  pmnPathRef = new QMenu(this);
  pmnPathRef->setObjectName(QStringLiteral("pmnPathRef"));
  mniDirRef = pmnPathRef->addAction(hovrak::Msg(17));
  mniDirRef->setObjectName(QStringLiteral("mniDirRef"));
  mniFileRef = pmnPathRef->addAction(hovrak::Msg(18));
  mniFileRef->setObjectName(QStringLiteral("mniFileRef"));

  tmrHandOver = new QTimer(this);
  tmrHandOver->setObjectName(QStringLiteral("tmrHandOver"));
  tmrHandOver->setSingleShot(true);
  tmrHandOver->setInterval(100);
  connect(tmrHandOver, &QTimer::timeout, this, &TfrmMain::ApplyPendingHandOvers);

  tmrSearch = new QTimer(this);
  tmrSearch->setObjectName(QStringLiteral("tmrSearch"));
  tmrSearch->setSingleShot(true);
  tmrSearch->setInterval(1);

  connect(mniOption, &QAction::triggered, this, &TfrmMain::mniOptionClick);
  connect(mniCopyResult, &QAction::triggered, this, &TfrmMain::mniCopyResultClick);
  connect(mniRestore, &QAction::triggered, this, &TfrmMain::mniRestoreClick);
  connect(btnOption, &QPushButton::clicked, this, &TfrmMain::mniOptionClick);
  connect(mniHelpC, &QAction::triggered, this, &TfrmMain::mniHelpCClick);
  connect(mniAbout, &QAction::triggered, this, &TfrmMain::mniAboutClick);
  connect(btnPathRef, &QPushButton::clicked, this, &TfrmMain::btnPathRefClick);
  connect(mniDirRef, &QAction::triggered, this, &TfrmMain::mniDirRefClick);
  connect(mniFileRef, &QAction::triggered, this, &TfrmMain::mniFileRefClick);
  connect(btnSearchedEdit, &QPushButton::clicked, this, &TfrmMain::btnSearchedEditClick);
  connect(btnSearch, &QPushButton::clicked, this, &TfrmMain::btnSearchClick);
  connect(tmrSearch, &QTimer::timeout, this, &TfrmMain::tmrSearchTimer);
  for (QComboBox* box : {cmbPath, cmbFilter, cmbSearched}) {
    connect(box, &QComboBox::editTextChanged, this, &TfrmMain::ctlSearchChange);
    // Dropped files go to the window, not into a box as text.
    box->lineEdit()->setAcceptDrops(false);
  }
  connect(cmbMode, qOverload<int>(&QComboBox::currentIndexChanged), this, &TfrmMain::ctlSearchChange);
  connect(chkSubDir, &QCheckBox::clicked, this, &TfrmMain::ctlSearchChange);

  // The designed client area is 562 wide; the height is what the rows need.
  const QSize hint = sizeHint();
  resize(std::max(562, hint.width()), hint.height());
  setFixedHeight(hint.height());
}

// ---------------------------------------------------------------------------------
// Start-up and exit

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
  if (serializer_.TakeOldSettingsNotice(FolderOf(settingsPath_))) {
    TDialogs::Current().Message(this, kCaption,
                                QStringLiteral("以前の版の設定ファイル (Mirun.kmx) は読み込めません。\n"
                                               "オプションと履歴は初期値から始まります。"),
                                TDialogs::TIcon::Information, QMessageBox::Ok);
  }
}

void TfrmMain::DefaultLayout() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize mainSize = frameGeometry().size();
  const QSize resultSize = frmResult_->frameGeometry().size();
  const int h = area.height();
  int mainTop;
  int resultTop;
  if (h < mainSize.height() + resultSize.height()) {
    mainTop = area.top();
    resultTop = area.top() + h - resultSize.height();
  } else {
    mainTop = area.top() + (h - mainSize.height() - resultSize.height()) / 2;
    resultTop = mainTop + mainSize.height();
  }
  move(area.left() + (area.width() - mainSize.width()) / 2, mainTop);
  frmResult_->move(area.left() + (area.width() - resultSize.width()) / 2, resultTop);
  viewBounds_.Left = area.left();
  viewBounds_.Top = area.top();
  viewBounds_.Width = area.width();
  viewBounds_.Height = mainTop + mainSize.height() - area.top();
  frmView_->ApplyBounds(viewBounds_);
}

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
  if (!repaired.empty()) text = MessageTable(151) + repaired;
  if (!kept.empty()) text += (text.empty() ? "" : "\n\n") + std::string(MessageTable(152)) + kept;
  if (!text.empty())
    TDialogs::Current().Message(this, kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Warning, QMessageBox::Ok);
}

void TfrmMain::InstallCallbacks() {
  app_.OnProcess = [this](TProcessType kind, const std::string& path, int index, int count) {
    OnProcess(kind, path, index, count);
  };
  app_.OnPlaceAdded = [this](TAbstractPlace* place) { OnPlaceAdded(place); };
  app_.OnFileError = [this](const std::string& path, TFileOperationResult result, int error) {
    return OnFileError(path, result, error);
  };
  app_.OnBackupFailed = [this](const TBackupReport& report) { return OnBackupFailed(report); };
  app_.OnSkipped = [this](const std::string&, TSkipReason) { ++skipped_; };
  app_.Backup->OnConfirmSize = [this](std::uint64_t total) { return OnConfirmSize(total); };
  app_.Backup->OnConfirmDelete = [this](const TBackup::TUnitPointers& units) {
    const TQuestionCursor cursor;
    return TfrmDeleteBackupDialog::ShowDeleteBackupDialog(QuestionParent(), units);
  };
  // Units are entered into the settings file as they are made or pruned, under the
  // lock mirun-cli takes too, so runs of both keep each other's units.
  backupIndex_ = std::make_unique<TSettingsBackupIndex>(settingsPath_);
  app_.Backup->IndexStore = backupIndex_.get();
}

void TfrmMain::SaveSettings() {
  // Another process (mirun-cli) may have added units to the file since it was
  // read. Under the index lock, the units on disk come in, the ones this process
  // knows and the file lacks are added back, and the whole file is written, so no
  // backup copy loses its index entry.
  TBackup& backup = *app_.Backup;
  std::vector<std::unique_ptr<TBackupUnit>> mine;
  mine.swap(backup.Units);
  bool saved = false;
  const auto merge = [&]() {
    std::map<std::string, bool> onDisk;
    for (const auto& unit : backup.Units) onDisk[unit->Name] = true;
    for (auto& unit : mine) {
      if (unit && !onDisk.count(unit->Name)) backup.Units.push_back(std::move(unit));
    }
    std::stable_sort(
        backup.Units.begin(), backup.Units.end(),
        [](const std::unique_ptr<TBackupUnit>& a, const std::unique_ptr<TBackupUnit>& b) { return a->Time < b->Time; });
    saved = serializer_.SaveToFile(settingsPath_);
  };
  TSettingsBackupIndex index(settingsPath_);
  int error = 0;
  try {
    error = index.Update(backup, merge);
  } catch (const std::exception&) {
    error = -1;
  }
  if (error != 0 && !saved) {
    // The file could not be read under the lock: write what this process knows.
    for (auto& unit : mine) {
      if (unit) backup.Units.push_back(std::move(unit));
    }
    serializer_.SaveToFile(settingsPath_);
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
  if (!IsBusy(state)) ScheduleHandOvers();
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
// Search

void TfrmMain::btnSearchClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  if (const int row = hovrak::CheckTargets(paths)) {
    TDialogs::Current().Message(this, kCaption, hovrak::Msg(row), TDialogs::TIcon::Error, QMessageBox::Ok);
    return;
  }
  // Nothing to search in, or nothing to search for: said before anything changes,
  // and nothing goes into the histories.
  if (const std::string missing = hovrak::MissingTargetText(paths); !missing.empty()) {
    TDialogs::Current().Message(this, kCaption, hovrak::FromNarrow(missing), TDialogs::TIcon::Error, QMessageBox::Ok);
    return;
  }
  if (SearchedText().isEmpty()) {
    TDialogs::Current().Message(this, kCaption, QStringLiteral("検索文字列が入力されていません。"),
                                TDialogs::TIcon::Error, QMessageBox::Ok);
    return;
  }
  app_.Option->Mode = static_cast<TSearchMode>(std::clamp(cmbMode->currentIndex(), 0, 2));
  app_.Option->SubDir = chkSubDir->isChecked();
  UpdateHistory(cmbPath);
  UpdateHistory(cmbFilter);
  UpdateHistory(cmbSearched);
  SetState(TUiState::InSearch);
  frmResult_->cmbReplacing->setEditText(app_.Option->Mode == TSearchMode::Regex ? QString() : SearchedText());
  displayBase_ = hovrak::DisplayBase(paths);
  skipAll_.clear();
  skipped_ = 0;

  int outcome = SearchFailed;
  QString error;
  try {
    outcome = app_.Search(paths, hovrak::SplitFilterText(hovrak::ToNarrow(cmbFilter->currentText())),
                          hovrak::ToNarrow(SearchedText()));
  } catch (const std::exception& e) {
    outcome = SearchFailed;
    error = QString::fromUtf8(e.what());
  }
  frmResult_->RefreshPlaces();
  ReportSearchOutcome(outcome, error);
}

void TfrmMain::ReportSearchOutcome(int outcome, const QString& error) {
  // Files and folders passed over without a question are counted after the text.
  const QString skippedNote =
      skipped_ > 0 ? QStringLiteral("（%1件のファイル/フォルダを検索できませんでした）").arg(skipped_) : QString();
  if ((outcome == SearchCompleted || outcome == SearchStopped) && app_.PlaceList) {
    SetState(app_.PlaceList->Count() > 0 ? TUiState::Found : TUiState::NotFound);
    ShowStatus(hovrak::Msg(outcome == SearchStopped ? 36 : 41) + skippedNote);
    return;
  }
  SetState(TUiState::Ready);
  QString text;
  switch (outcome) {
    case SearchStopped: ShowStatus(hovrak::Msg(36) + skippedNote); return;
    case SearchInvalidPattern: text = hovrak::Msg(37); break;
    case SearchNoTargetFiles: text = hovrak::Msg(38); break;
    default: text = hovrak::Msg(39) + QLatin1Char('\n') + error; break;
  }
  TDialogs::Current().Message(this, kCaption, text, TDialogs::TIcon::None, QMessageBox::Ok);
}

QString TfrmMain::SearchedText() const { return cmbSearched->currentText(); }

void TfrmMain::UpdateHistory(QComboBox* box) {
  TStringVector items;
  items.reserve(static_cast<std::size_t>(box->count()));
  for (int i = 0; i < box->count(); ++i) items.push_back(hovrak::ToNarrow(box->itemText(i)));
  const std::string text = hovrak::AddToHistory(items, hovrak::ToNarrow(box->currentText()));
  // The box's own change handler must not run: the text is only cleaned.
  const QSignalBlocker blocker(box);
  box->clear();
  for (const std::string& item : items) box->addItem(hovrak::FromNarrow(item));
  box->setCurrentIndex(0);
  box->setEditText(hovrak::FromNarrow(text));
}

// ---------------------------------------------------------------------------------
// The core's callbacks

void TfrmMain::OnProcess(TProcessType kind, const std::string& path, int index, int count) {
  int row = 44;
  switch (kind) {
    case TProcessType::Listing: row = 42; break;
    case TProcessType::Searching: row = 44; break;
    case TProcessType::BackingUp: row = 43; break;
    case TProcessType::Replacing: row = 45; break;
  }
  frmProcess_->Update(hovrak::Msg(row), hovrak::FromNarrow(hovrak::ShortenPath(path, displayBase_)), index, count);
  frmProcess_->StopCheck();
}

void TfrmMain::OnPlaceAdded(TAbstractPlace*) {
  // Only marks the list for the coalesced refresh: a search may add millions.
  frmResult_->RefreshPlaces(true, true);
  frmProcess_->StopCheck();
}

QWidget* TfrmMain::QuestionParent() {
  // The progress window stays on top of the others; a question parented to it is
  // its transient, which the window manager keeps above it.
  return frmProcess_->isVisible() ? static_cast<QWidget*>(frmProcess_) : this;
}

TDecision TfrmMain::OnFileError(const std::string& path, TFileOperationResult result, int error) {
  if (skipAll_.count(result)) return TDecision::Skip;
  const hovrak::TFileErrorQuestion question =
      hovrak::MakeFileErrorQuestion(path, result, state_ == TUiState::InReplace, app_.Option->CharCode, error);
  int answer;
  {
    const TQuestionCursor cursor;
    answer = TfrmFileErrorDialog::ShowFileErrorDialog(QuestionParent(), hovrak::FromNarrow(question.Text),
                                                      question.Forcible);
  }
  if (answer == hovrak::FileErrorSkipAll) {
    skipAll_.insert(result);
    return TDecision::Skip;
  }
  return hovrak::DecisionFromAnswer(answer);
}

bool TfrmMain::OnConfirmSize(std::uint64_t total) {
  const TQuestionCursor cursor;
  const std::string text = hovrak::SizeQuestionText(total, app_.Backup->UnitsToPrune(total));
  return TDialogs::Current().Message(QuestionParent(), kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Information,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool TfrmMain::OnBackupFailed(const TBackupReport& report) {
  return AskGoOnWithoutBackup(report, QStringLiteral("バックアップのないまま置換を続けますか？\n"
                                                     "「いいえ」を選ぶと、どのファイルも書き換えません。"));
}

bool TfrmMain::AskGoOnWithoutBackup(const TBackupReport& report, const QString& question) {
  QString text = QStringLiteral("バックアップを完全には作成できませんでした。\n");
  std::size_t listed = 0;
  for (const TBackupFailure& failure : report.Failures) {
    if (listed == kListedFailures) {
      text += QStringLiteral("ほか %1 件\n").arg(report.Failures.size() - listed);
      break;
    }
    text += QStringLiteral("\n%1\n    （%2）")
                .arg(hovrak::FromNarrow(failure.Path), QString::fromLocal8Bit(std::strerror(failure.Error)));
    ++listed;
  }
  if (!report.Failures.empty()) text += QLatin1Char('\n');
  if (report.IndexError != 0) {
    text += QStringLiteral("\nバックアップの記録を設定ファイルに書き込めませんでした。\n%1\n    （%2）\n")
                .arg(hovrak::FromNarrow(settingsPath_), QString::fromLocal8Bit(std::strerror(report.IndexError)));
  }
  text += QLatin1Char('\n') + question;
  const TQuestionCursor cursor;
  return TDialogs::Current().Message(QuestionParent(), kCaption, text, TDialogs::TIcon::Warning,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

// ---------------------------------------------------------------------------------
// Commands

void TfrmMain::btnPathRefClick() { pmnPathRef->popup(btnPathRef->mapToGlobal(btnPathRef->rect().bottomLeft())); }

void TfrmMain::mniDirRefClick() {
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  const QString start = paths.empty() ? QString() : hovrak::FromNarrow(paths.front());
  const QString folder = TDialogs::Current().ExistingDirectory(this, hovrak::Msg(20), start);
  if (folder.isEmpty()) return;
  cmbPath->setEditText(folder);
  ctlSearchChange();
}

void TfrmMain::mniFileRefClick() {
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  // A folder is where the dialog starts; a file is offered as the name.
  const QString start = paths.empty() ? QString() : hovrak::FromNarrow(paths.front());
  const QStringList files = TDialogs::Current().OpenFileNames(this, QStringLiteral("対象ファイルの参照"), start,
                                                              QStringLiteral("全てのファイル (*)"));
  if (files.isEmpty()) return;
  TStringVector chosen;
  for (const QString& file : files) chosen.push_back(hovrak::ToNarrow(file));
  cmbPath->setEditText(hovrak::FromNarrow(hovrak::JoinTargetText(chosen)));
  ctlSearchChange();
}

void TfrmMain::DropFiles(const QStringList& paths) {
  if (paths.isEmpty() || IsBusy(state_)) return;
  TStringVector dropped;
  for (const QString& path : paths) dropped.push_back(hovrak::ToNarrow(path));
  const QSignalBlocker blocker(cmbPath);
  cmbPath->setEditText(hovrak::FromNarrow(hovrak::JoinTargetText(dropped)));
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !IsBusy(state_)) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile());
  }
  if (paths.isEmpty()) return;
  DropFiles(paths);
  event->acceptProposedAction();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && btnSearch->isEnabled()) {
    btnSearch->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TfrmMain::btnSearchedEditClick() {
  if (IsBusy(state_)) return;
  const QString current = cmbSearched->currentText();
  const QString edited =
      TfrmMultiLineEdit::Edit(this, *app_.Option, hovrak::Msg(19), current, [this]() { OptionsChanged(); });
  if (edited != current) cmbSearched->setEditText(edited);
}

void TfrmMain::mniOptionClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  if (TDialogs::Current().Exec(*frmOption_) == QDialog::Accepted) OptionsChanged();
}

QString TfrmMain::HelpFilePath() {
  const QString besideProgram =
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/index.html"));
  if (QFileInfo(besideProgram).isFile()) return besideProgram;
#ifdef MIRUN_INSTALLED_HELP
  // Installed: bin/mirun finds share/mirun/help/index.html.
  const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(MIRUN_INSTALLED_HELP));
  if (QFileInfo(installed).isFile()) return QDir::cleanPath(installed);
#endif
#ifdef MIRUN_SOURCE_HELP
  const QString inSources = QString::fromUtf8(MIRUN_SOURCE_HELP);
  if (QFileInfo(inSources).isFile()) return inSources;
#endif
  return QString();
}

void TfrmMain::mniHelpCClick() {
  const QString path = HelpFilePath();
  if (path.isEmpty()) {
    const QString expected = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/index.html"));
    TDialogs::Current().Message(this, kCaption, QStringLiteral("ヘルプファイルが見つかりません。\n%1").arg(expected),
                                TDialogs::TIcon::Warning, QMessageBox::Ok);
    return;
  }
  // Shown inside the program: a desktop without a program for HTML files would
  // otherwise show nothing.
  if (!frmHelp_) {
    frmHelp_ = new TfrmHelp(this);
    frmHelp_->UrlOpener = [this](const QUrl& url) { return UrlOpener(url); };
  }
  frmHelp_->ShowPage(path);
}

void TfrmMain::mniAboutClick() {
  if (IsBusy(state_)) return;
  TDialogs::Current().Exec(*frmAbout_);
}

void TfrmMain::mniCopyResultClick() {
  if (state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  TDialogs::Current().Exec(*frmCopyResult_);
}

// ---------------------------------------------------------------------------------
// Undo of a replace

void TfrmMain::mniRestoreClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  TBackup& backup = *app_.Backup;
  // The index as it is on disk now, under its lock: units mirun-cli made or pruned
  // meanwhile are listed as they are. When it cannot be read, the units known here.
  if (backupIndex_) {
    try {
      backupIndex_->Update(backup, [] {});
    } catch (const std::exception&) {
    }
  }
  TBackup::TUnitPointers units;
  for (const auto& unit : backup.Units) units.push_back(unit.get());
  const std::string name = TfrmRestoreDialog::ShowRestoreDialog(this, units);
  if (!name.empty()) RunRestore(name);
}

void TfrmMain::RunRestore(const std::string& name) {
  const TBackupUnit* listed = app_.Backup->FindUnit(name);
  // Progress paths are shortened against the unit's base folder.
  const std::string base = listed ? listed->BaseDir : std::string();
  TBackupRestore restore(*app_.Backup);
  std::set<TRestoreProblem> skipAll;
  // The run state begins with the first progress report, after the question about a
  // unit restored before: the results are discarded (the files they point into
  // change), the controls are disabled and the progress dialog is shown.
  const auto enterRun = [this] {
    if (state_ == TUiState::InReplace) return;
    SetState(TUiState::Ready);
    SetState(TUiState::InReplace);
    frmResult_->hide();  // no results to show during an undo
  };
  restore.OnProcess = [this, &base, &enterRun](TProcessType kind, const std::string& path, int index, int count) {
    enterRun();
    const int row = kind == TProcessType::BackingUp ? 43 : kind == TProcessType::Replacing ? 130 : 129;
    frmProcess_->Update(hovrak::Msg(row), hovrak::FromNarrow(hovrak::ShortenPath(path, base)), index, count);
    frmProcess_->StopCheck();
  };
  restore.OnFileError = [this, &restore, &skipAll](const std::string& path, TFileOperationResult, int error) {
    if (skipAll.count(restore.Problem)) return TDecision::Skip;
    const hovrak::TFileErrorQuestion question = hovrak::MakeRestoreQuestion(path, restore.Problem, error);
    int answer;
    {
      const TQuestionCursor cursor;
      answer = TfrmFileErrorDialog::ShowFileErrorDialog(QuestionParent(), hovrak::FromNarrow(question.Text),
                                                        question.Forcible, hovrak::Msg(128));
    }
    if (answer == hovrak::FileErrorSkipAll) {
      skipAll.insert(restore.Problem);
      return TDecision::Skip;
    }
    return hovrak::DecisionFromAnswer(answer);
  };
  restore.OnConfirmAgain = [this](const TBackupUnit& unit) {
    const TQuestionCursor cursor;
    const std::string text = (boost::format(MessageTable(122)) % hovrak::TimeText(unit.Restored)).str();
    return TDialogs::Current().Message(QuestionParent(), kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Question,
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };
  restore.OnBackupFailed = [this](const TBackupReport& report) {
    return AskGoOnWithoutBackup(report, hovrak::Msg(141));
  };
  restore.OnConfirmOldUnit = [this](const TBackupUnit& unit) {
    const TQuestionCursor cursor;
    const std::string text = (boost::format(MessageTable(148)) % unit.BaseDir).str();
    return TDialogs::Current().Message(this, kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Question,
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };

  TRestoreReport report;
  QString error;
  try {
    report = restore.Run(name);
  } catch (const std::exception& e) {
    error = QString::fromLocal8Bit(e.what());
  }
  const bool ran = state_ == TUiState::InReplace;
  if (ran) SetState(TUiState::Ready);
  if (!error.isEmpty()) {
    TDialogs::Current().Message(this, kCaption, hovrak::Msg(39) + QLatin1Char('\n') + error, TDialogs::TIcon::Error,
                                QMessageBox::Ok);
    return;
  }
  if (!report.Found) {
    TDialogs::Current().Message(this, kCaption, hovrak::Msg(143), TDialogs::TIcon::Warning, QMessageBox::Ok);
    return;
  }
  if (report.RestoredBefore) return;
  if (report.BackupFailed) {
    ShowStatus(hovrak::Msg(132));
    return;
  }
  ShowStatus(hovrak::Msg(report.Stopped ? 132 : 131));
  const hovrak::TRestoreSummary summary = hovrak::RestoreSummaryText(report, settingsPath_, 20, base);
  std::string text = summary.Text;
  // The backup of the files the undo overwrote may have pruned older units.
  if (!report.Backup.Pruned.empty()) text += "\n\n" + hovrak::PrunedUnitsText(report.Backup.Pruned);
  TDialogs::Current().Message(
      this, kCaption, hovrak::FromNarrow(text),
      summary.Problems || report.Stopped ? TDialogs::TIcon::Warning : TDialogs::TIcon::Information, QMessageBox::Ok);
}

// ---------------------------------------------------------------------------------
// Hand-over from a later start

bool TfrmMain::HandOverAllowed() const {
  // Applying resets the state and drops the result list a run is filling; a search
  // that arguments asked for and that has not started yet must run first as well.
  // Nor inside another hand-over (a question it asks runs an event loop), nor while
  // the user works in a modal dialog (options, CSV, an edit) whose results it would
  // drop.
  return state_ != TUiState::Initial && !IsBusy(state_) && !tmrSearch->isActive() && !applyingHandOver_ &&
         !QApplication::activeModalWidget();
}

void TfrmMain::HandOver(const std::vector<std::string>& args, std::function<void()> done) {
  pendingHandOvers_.emplace_back(args, std::move(done));
  if (pendingHandOvers_.size() == 1) ApplyPendingHandOvers();
}

void TfrmMain::ScheduleHandOvers() {
  if (!pendingHandOvers_.empty()) QTimer::singleShot(0, this, [this]() { ApplyPendingHandOvers(); });
}

void TfrmMain::ApplyPendingHandOvers() {
  while (!pendingHandOvers_.empty() && HandOverAllowed()) {
    auto entry = std::move(pendingHandOvers_.front());
    pendingHandOvers_.pop_front();
    applyingHandOver_ = true;
    ApplyHandOver(entry.first);
    applyingHandOver_ = false;
    if (entry.second) entry.second();
  }
  // A modal dialog closes without a state change: look again until it has.
  if (!pendingHandOvers_.empty() && !IsBusy(state_) && QApplication::activeModalWidget()) tmrHandOver->start();
}

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
  ScheduleHandOvers();  // also when the search did not start
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
