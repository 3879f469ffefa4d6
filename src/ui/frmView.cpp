#include "ui/frmView.h"

#include <algorithm>
#include <cstring>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "front/DisplayBase.h"
#include "front/SystemErrorText.h"
#include "place/PlaceList.h"
#include "settings/Option.h"
#include "shared/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/SonEdit.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"

namespace {

const QString kCaption = QStringLiteral("Mirun");

// The editor holds the same UTF-16 units as the wide text (wchar_t holds one unit).
QString ToQString(const std::wstring& text) {
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* data = out.data();
  for (std::size_t i = 0; i < text.size(); ++i) data[i] = QChar(static_cast<char16_t>(text[i]));
  return out;
}

std::wstring FromQString(const QString& text) {
  std::wstring out(static_cast<std::size_t>(text.size()), L'\0');
  for (qsizetype i = 0; i < text.size(); ++i) out[static_cast<std::size_t>(i)] = text[i].unicode();
  return out;
}

QString SystemErrorText(int error) { return hovrak::FromNarrow(hovrak::SystemErrorText(error)); }

// The hourglass while loading or saving, the normal cursor again after.
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QAction* NewAction(QMenu* menu, TMsg row, const char* name, const QKeySequence& shortcut = QKeySequence()) {
  QAction* action = menu->addAction(hovrak::Msg(row));
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

}  // namespace

TfrmView::TfrmView(TfrmMain& main) : QMainWindow(&main, Qt::Window), main_(main) {
  setObjectName(QStringLiteral("frmView"));
  setWindowTitle(kCaption);
  setFont(hovrak::JapaneseFont(false, 12));

  mniFile = menuBar()->addMenu(hovrak::Msg(TMsg::MenuFile));
  mniFile->setObjectName(QStringLiteral("mniFile"));
  mniSave = NewAction(mniFile, TMsg::MenuSave, "mniSave", QKeySequence(Qt::CTRL | Qt::Key_S));
  mniEdit = menuBar()->addMenu(hovrak::Msg(TMsg::MenuEdit));
  mniEdit->setObjectName(QStringLiteral("mniEdit"));
  mniUndo = NewAction(mniEdit, TMsg::MenuUndo, "mniUndo", QKeySequence(Qt::CTRL | Qt::Key_Z));
  mniEdit->addSeparator();
  mniCut = NewAction(mniEdit, TMsg::MenuCut, "mniCut", QKeySequence(Qt::CTRL | Qt::Key_X));
  mniCopy = NewAction(mniEdit, TMsg::MenuCopy, "mniCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
  mniPaste = NewAction(mniEdit, TMsg::MenuPaste, "mniPaste", QKeySequence(Qt::CTRL | Qt::Key_V));
  mniFormat = menuBar()->addMenu(hovrak::Msg(TMsg::MenuFormat));
  mniFormat->setObjectName(QStringLiteral("mniFormat"));
  mniFormat->menuAction()->setVisible(false);
  mniWrap = NewAction(mniFormat, TMsg::MenuWordWrap, "mniWrap");
  mniWrap->setCheckable(true);

  mniPopup = new QMenu(this);
  mniPopup->setObjectName(QStringLiteral("mniPopup"));
  mniPopupUndo = NewAction(mniPopup, TMsg::MenuUndo, "mniPopupUndo");
  mniPopup->addSeparator();
  mniPopupCut = NewAction(mniPopup, TMsg::MenuCut, "mniPopupCut");
  mniPopupCopy = NewAction(mniPopup, TMsg::MenuCopy, "mniPopupCopy");
  mniPopupPaste = NewAction(mniPopup, TMsg::MenuPaste, "mniPopupPaste");

  sedFile = new TSonEdit(this);
  sedFile->setObjectName(QStringLiteral("sedFile"));
  sedFile->setContextMenuPolicy(Qt::CustomContextMenu);
  setCentralWidget(sedFile);

  statusBar()->setObjectName(QStringLiteral("stbMain"));
  stbPanel0 = new QLabel(statusBar());
  stbPanel0->setObjectName(QStringLiteral("stbPanel0"));
  stbPanel0->setMinimumWidth(std::max(50, stbPanel0->fontMetrics().horizontalAdvance(QStringLiteral("99999999行目"))));
  stbReadOnly = new QLabel(statusBar());
  stbReadOnly->setObjectName(QStringLiteral("stbReadOnly"));
  stbReadOnly->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(stbPanel0, 0);
  statusBar()->addWidget(stbReadOnly, 1);

  connect(mniSave, &QAction::triggered, this, &TfrmView::mniSaveClick);
  connect(mniWrap, &QAction::triggered, this, &TfrmView::mniWrapClick);
  for (QAction* undo : {mniUndo, mniPopupUndo}) connect(undo, &QAction::triggered, sedFile, &TSonEdit::Undo);
  for (QAction* cut : {mniCut, mniPopupCut}) connect(cut, &QAction::triggered, sedFile, &QPlainTextEdit::cut);
  for (QAction* copy : {mniCopy, mniPopupCopy}) connect(copy, &QAction::triggered, sedFile, &QPlainTextEdit::copy);
  for (QAction* paste : {mniPaste, mniPopupPaste}) connect(paste, &QAction::triggered, sedFile, &QPlainTextEdit::paste);
  // Undo is offered only when the editor can undo; the menus are kept current as
  // that changes, so the shortcut follows too.
  connect(sedFile, &QPlainTextEdit::undoAvailable, this, [this](bool available) {
    mniUndo->setEnabled(available && !ReadOnly());
    mniPopupUndo->setEnabled(available && !ReadOnly());
  });
  connect(sedFile, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    mniPopupUndo->setEnabled(sedFile->CanUndo() && !ReadOnly());
    mniPopup->popup(sedFile->viewport()->mapToGlobal(pos));
  });
  connect(sedFile, &TSonEdit::Changed, this, [this] { modified_ = true; });
  connect(sedFile, &TSonEdit::SelectionMoved, this, &TfrmView::ShowCaretLine);
  mniUndo->setEnabled(false);
  mniPopupUndo->setEnabled(false);
  ShowCaretLine();
}

TfrmView::~TfrmView() = default;

QString TfrmView::DisplayPath() const {
  return hovrak::FromNarrow(hovrak::ShortenPath(shownPath_, main_.DisplayBase()));
}

void TfrmView::ShowCaretLine() { stbPanel0->setText(QStringLiteral("%1行目").arg(sedFile->CaretLine() + 1)); }

void TfrmView::ShowPlace(int index) {
  TAbstractPlaceList* list = main_.App().PlaceList.get();
  if (!list || index < 0 || index >= list->Count()) return;
  const TWaitCursor cursor;
  show();
  raise();
  activateWindow();
  const TAbstractPlace& place = *list->Item(index);
  const bool reload = place.FileName() != shownPath_ || (!narrow_ && !wide_);
  if (reload) {
    if (!shownPath_.empty()) SaveChanges(true, false);
    if (!Load(place.FileName())) return;
  }

  hovrak::TViewSelection selection =
      narrow_ ? hovrak::ViewSelection(narrow_->Text, place.Line, place.Column, place.Length, how_)
              : hovrak::ViewSelection(wide_->Text, place.Line, place.Column, place.Length);
  if (reload) {
    modified_ = false;
    sedFile->ClearUndo();
  }
  selection = hovrak::ClampViewSelection(selection, sedFile->LineCount(),
                                         [this](std::int32_t line) { return sedFile->LineLength(line); });
  sedFile->SetSelection(selection.Line, selection.Column, selection.Length);
  ShowCaretLine();
}

bool TfrmView::Load(const std::string& path) {
  Unload();
  shownPath_ = path;
  setWindowTitle(kCaption + QStringLiteral(" - ") + DisplayPath());
  hovrak::TViewLoad load;
  int error = 0;
  if (dynamic_cast<TPlaceList<char>*>(main_.App().PlaceList.get())) {
    narrow_ = std::make_unique<TFile<char>>(path);
    load = hovrak::LoadForView(*narrow_);
    error = narrow_->LastError;
  } else {
    wide_ = std::make_unique<TFile<wchar_t>>(path, main_.App().Option->CharCode);
    load = hovrak::LoadForView(*wide_);
    error = wide_->LastError;
  }
  // Without a limit only a file past what one load can hold is too large; neither
  // that nor an unreadable file leaves text that could be saved over it.
  if (load.Result == TFileOperationResult::OpenFailed || load.Result == TFileOperationResult::TooLarge) {
    TDialogs::Current().Message(this, kCaption,
                                hovrak::Msg(TMsg::ViewReadFailed) + QStringLiteral("\n\n") + hovrak::FromNarrow(path) +
                                    QStringLiteral("\n\n") + SystemErrorText(error),
                                TDialogs::TIcon::Error, QMessageBox::Ok);
    Unload();
    modified_ = false;
    close();
    return false;
  }
  readOnly_ = load.ReadOnly;
  how_ = load.How;
  sedFile->SetText(ToQString(load.Shown));
  sedFile->setReadOnly(ReadOnly());
  mniSave->setEnabled(!ReadOnly());
  stbReadOnly->setText(hovrak::FromNarrow(hovrak::ViewReadOnlyText(readOnly_)));
  return true;
}

void TfrmView::Unload() {
  narrow_.reset();
  wide_.reset();
  shownPath_.clear();
  readOnly_ = hovrak::TViewReadOnly::No;
  stbReadOnly->clear();
  mniSave->setEnabled(true);
  sedFile->setReadOnly(false);
  const bool wasModified = modified_;
  sedFile->SetText(QString());
  sedFile->ClearUndo();
  modified_ = wasModified;
}

bool TfrmView::SaveChanges(bool ask, bool allowCancel) {
  if (!modified_) return true;
  if (ask) {
    const bool replaceable = main_.State() == TUiState::Found;
    const QString question = hovrak::FromNarrow(MessageText(
        replaceable ? TMsg::ViewSaveQuestionFound : TMsg::ViewSaveQuestion, hovrak::ToNarrow(DisplayPath())));
    const QMessageBox::StandardButton answer = TDialogs::Current().Message(
        this, kCaption, question, TDialogs::TIcon::Question,
        allowCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Cancel) return false;
    if (answer != QMessageBox::Yes) return true;
  }
  if (!Save()) return !allowCancel;
  if (main_.State() == TUiState::Found) {
    main_.SetState(TUiState::NotFound);
    // The replace button is off now; the user is told why.
    main_.ShowStatus(hovrak::Msg(TMsg::ViewSavedNoReplace));
  }
  modified_ = false;
  return true;
}

bool TfrmView::Save() {
  if ((!narrow_ && !wide_) || ReadOnly()) return false;
  const std::wstring shown = FromQString(sedFile->Text());
  for (;;) {
    TFileOperationResult result;
    int error;
    {
      const TWaitCursor cursor;
      result = narrow_ ? hovrak::SaveFromView(*narrow_, shown) : hovrak::SaveFromView(*wide_, shown);
      error = narrow_ ? narrow_->LastError : wide_->LastError;
    }
    if (result == TFileOperationResult::Success) return true;
    const QMessageBox::StandardButton answer = TDialogs::Current().Message(
        this, kCaption, hovrak::Msg(TMsg::ViewSaveFailed) + QStringLiteral("\n\n") + SystemErrorText(error),
        TDialogs::TIcon::Error, QMessageBox::Retry | QMessageBox::Cancel);
    if (answer != QMessageBox::Retry) return false;
  }
}

void TfrmView::CloseView() {
  SaveChanges(true, false);
  modified_ = false;
  close();
}

void TfrmView::closeEvent(QCloseEvent* event) {
  if (!SaveChanges(true, true)) {
    event->ignore();
    return;
  }
  Unload();
  modified_ = false;
  setWindowTitle(kCaption);
  event->accept();
}

void TfrmView::mniSaveClick() { SaveChanges(false, false); }

void TfrmView::mniWrapClick() { sedFile->SetWrap(mniWrap->isChecked()); }

void TfrmView::ApplyBounds(const TPersistentWindows::TBounds& bounds) {
  move(bounds.Left, bounds.Top);
  // A size no window can have (hand-edited) keeps the current one.
  if (bounds.Width > 0 && bounds.Height > 0) resize(bounds.Width, bounds.Height);
}

TPersistentWindows::TBounds TfrmView::CurrentBounds() const {
  TPersistentWindows::TBounds bounds;
  bounds.Left = x();
  bounds.Top = y();
  bounds.Width = width();
  bounds.Height = height();
  return bounds;
}
