#include "ui/frmResult.h"

#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <utility>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "front/EditorCommand.h"
#include "front/ReplaceSummaryText.h"
#include "place/PlaceList.h"
#include "settings/Option.h"
#include "shared/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/ElidedLabel.h"
#include "ui/PlaceRowTexts.h"
#include "ui/PlacesHeader.h"
#include "ui/PlacesView.h"
#include "ui/UiText.h"
#include "ui/frmConfirm.h"
#include "ui/frmMain.h"
#include "ui/frmMultiLineEdit.h"
#include "ui/frmView.h"

namespace {

const QString kCaption = QStringLiteral("Mirun");
constexpr int kRedrawInterval = 500;  // ms between refreshes while a search adds places

QPushButton* NewButton(TMsg row, const char* name, QWidget* parent) {
  auto* button = new QPushButton(hovrak::Msg(row), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

TfrmResult::TfrmResult(TfrmMain& main) : QWidget(&main, Qt::Window), main_(main) {
  using hovrak::Msg;
  setObjectName(QStringLiteral("frmResult"));
  // The window's role tells it apart from the other windows of the same title, for
  // the window manager (remembered places) and for tests driving a real desktop.
  setWindowRole(objectName());
  setWindowTitle(Msg(TMsg::ResultTitle));
  setFont(hovrak::JapaneseFont(false, 12));
  setMinimumSize(340, 300);
  resize(561, 323);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  // The places: header over the scrolled list, in one bordered panel.
  pnlPlaces = new QFrame(this);
  pnlPlaces->setObjectName(QStringLiteral("pnlPlaces"));
  pnlPlaces->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* placesLayout = new QVBoxLayout(pnlPlaces);
  placesLayout->setContentsMargins(pnlPlaces->frameWidth(), pnlPlaces->frameWidth(), pnlPlaces->frameWidth(),
                                   pnlPlaces->frameWidth());
  placesLayout->setSpacing(0);
  pnlPlacesHead = new TPlacesHeader(pnlPlaces);
  TPlacesView::TSource source;
  source.List = [this] { return List(); };
  source.Narrow = [this] { return NarrowList(); };
  source.DisplayBase = [this] { return main_.DisplayBase(); };
  source.ShowLine = [this] { return main_.App().Option->ShowLine; };
  scbPlaces = new TPlacesView(source, *pnlPlacesHead, pnlPlaces);
  pbxPlaces = scbPlaces->viewport();
  edtPlacesDummy = scbPlaces->edtPlacesDummy;
  placesLayout->addWidget(pnlPlacesHead);
  placesLayout->addWidget(scbPlaces, 1);
  layout->addWidget(pnlPlaces, 1);

  // The replacement box.
  auto* pnlReplacing = new QWidget(this);
  pnlReplacing->setObjectName(QStringLiteral("pnlReplacing"));
  auto* replacingLayout = new QHBoxLayout(pnlReplacing);
  replacingLayout->setContentsMargins(8, 6, 8, 6);
  lblReplacing = new QLabel(Msg(TMsg::ReplacementLabel), pnlReplacing);
  lblReplacing->setObjectName(QStringLiteral("lblReplacing"));
  cmbReplacing = new QComboBox(pnlReplacing);
  cmbReplacing->setObjectName(QStringLiteral("cmbReplacing"));
  cmbReplacing->setEditable(true);
  cmbReplacing->setCompleter(nullptr);
  cmbReplacing->setInsertPolicy(QComboBox::NoInsert);
  cmbReplacing->setFont(hovrak::JapaneseFont(true, 12));
  cmbReplacing->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  lblReplacing->setBuddy(cmbReplacing);
  btnReplacingEdit = new QPushButton(QStringLiteral("..."), pnlReplacing);
  btnReplacingEdit->setObjectName(QStringLiteral("btnReplacingEdit"));
  btnReplacingEdit->setToolTip(Msg(TMsg::MultiLineInput));
  btnReplacingEdit->setFixedWidth(std::max(24, btnReplacingEdit->fontMetrics().horizontalAdvance("...") + 12));
  replacingLayout->addWidget(lblReplacing);
  replacingLayout->addWidget(cmbReplacing, 1);
  replacingLayout->addWidget(btnReplacingEdit);
  layout->addWidget(pnlReplacing);

  // Tick all, untick all, preview; replace on the right.
  auto* panel2 = new QWidget(this);
  panel2->setObjectName(QStringLiteral("Panel2"));
  auto* buttonsLayout = new QHBoxLayout(panel2);
  buttonsLayout->setContentsMargins(8, 0, 8, 6);
  btnAllOn = NewButton(TMsg::CheckAll, "btnAllOn", panel2);
  btnAllOff = NewButton(TMsg::UncheckAll, "btnAllOff", panel2);
  btnConfirm = NewButton(TMsg::PreviewButton, "btnConfirm", panel2);
  btnReplace = NewButton(TMsg::ReplaceButton, "btnReplace", panel2);
  buttonsLayout->addWidget(btnAllOn);
  buttonsLayout->addWidget(btnAllOff);
  buttonsLayout->addWidget(btnConfirm);
  buttonsLayout->addStretch(1);
  buttonsLayout->addWidget(btnReplace);
  layout->addWidget(panel2);
  btnReplace->setEnabled(false);
  btnConfirm->setEnabled(false);

  // Run messages, and the count of places.
  stbMain = new QStatusBar(this);
  stbMain->setObjectName(QStringLiteral("stbMain"));
  stbMain->setSizeGripEnabled(true);
  stbPanel0 = new TElidedLabel(stbMain);
  stbPanel0->setObjectName(QStringLiteral("stbPanel0"));
  stbPanel1 = new QLabel(stbMain);
  stbPanel1->setObjectName(QStringLiteral("stbPanel1"));
  stbPanel1->setTextFormat(Qt::PlainText);
  stbPanel1->setMinimumWidth(
      stbPanel1->fontMetrics().horizontalAdvance(QString::fromStdString(MessageText(TMsg::FoundCount, 9999999))));
  stbMain->addWidget(stbPanel0, 1);
  stbMain->addWidget(stbPanel1, 0);
  layout->addWidget(stbMain);

  pmnPlaces = new QMenu(this);
  pmnPlaces->setObjectName(QStringLiteral("pmnPlaces"));
  mniView = pmnPlaces->addAction(Msg(TMsg::MenuViewFile));
  mniView->setObjectName(QStringLiteral("mniView"));
  mniEditor = pmnPlaces->addAction(Msg(TMsg::MenuExternalEditor));
  mniEditor->setObjectName(QStringLiteral("mniEditor"));
  mniCopyPath = pmnPlaces->addAction(Msg(TMsg::MenuCopyPath));
  mniCopyPath->setObjectName(QStringLiteral("mniCopyPath"));

  tmrRedrawPlaces = new QTimer(this);
  tmrRedrawPlaces->setObjectName(QStringLiteral("tmrRedrawPlaces"));
  tmrRedrawPlaces->setInterval(kRedrawInterval);
  tmrRedrawPlaces->setSingleShot(true);

  connect(tmrRedrawPlaces, &QTimer::timeout, this, [this] { RefreshPlaces(true, false); });
  connect(pnlPlacesHead, &TPlacesHeader::ColumnsChanged, this, [this] { RefreshPlaces(); });
  connect(scbPlaces, &TPlacesView::DoubleClicked, this, &TfrmResult::ListDoubleClicked);
  connect(scbPlaces, &TPlacesView::ContextMenuAt, this, &TfrmResult::PopupMenu);
  connect(scbPlaces, &TPlacesView::TicksChanged, this, &TfrmResult::UpdateReplaceEnabled);
  connect(btnAllOn, &QPushButton::clicked, this, &TfrmResult::btnAllOnClick);
  connect(btnAllOff, &QPushButton::clicked, this, &TfrmResult::btnAllOffClick);
  connect(btnConfirm, &QPushButton::clicked, this, &TfrmResult::btnConfirmClick);
  connect(btnReplace, &QPushButton::clicked, this, &TfrmResult::btnReplaceClick);
  connect(btnReplacingEdit, &QPushButton::clicked, this, &TfrmResult::btnReplacingEditClick);
  connect(mniView, &QAction::triggered, this, &TfrmResult::mniViewClick);
  connect(mniEditor, &QAction::triggered, this, &TfrmResult::mniEditorClick);
  connect(mniCopyPath, &QAction::triggered, this, &TfrmResult::mniCopyPathClick);

  scbPlaces->SetFonts(cmbReplacing->font(), font());
  RefreshPlaces();
}

TAbstractPlaceList* TfrmResult::List() const { return main_.App().PlaceList.get(); }

bool TfrmResult::NarrowList() const { return dynamic_cast<TPlaceList<char>*>(List()) != nullptr; }

void TfrmResult::RefreshPlaces(bool keepCache, bool deferred) {
  // A search calls this for every place it adds: then only the timer runs.
  if (deferred && keepCache) {
    if (!tmrRedrawPlaces->isActive()) tmrRedrawPlaces->start();
    return;
  }
  tmrRedrawPlaces->stop();
  scbPlaces->Refresh(!keepCache);
  stbPanel1->setText(QString::fromStdString(MessageText(TMsg::FoundCount, scbPlaces->Count())));
  UpdateReplaceEnabled();
}

void TfrmResult::SetStatusText(const QString& text) { stbPanel0->setText(text); }

bool TfrmResult::Running() const {
  const TUiState state = main_.State();
  return state == TUiState::InSearch || state == TUiState::InReplace;
}

void TfrmResult::ApplyState(TUiState state) {
  const bool running = state == TUiState::InSearch || state == TUiState::InReplace;
  btnConfirm->setEnabled(state == TUiState::Found);
  UpdateReplaceEnabled();
  // A run reads the ticks and appends to or removes from the list; the edit button
  // may change options (which discards the list).
  for (QWidget* control : std::initializer_list<QWidget*>{btnAllOn, btnAllOff, btnReplacingEdit})
    control->setEnabled(!running);
  cmbReplacing->setEnabled(state != TUiState::InReplace);
  scbPlaces->SetTicksEnabled(!running);
}

void TfrmResult::UpdateReplaceEnabled() {
  bool ticked = false;
  if (main_.State() == TUiState::Found) {
    if (const TAbstractPlaceList* list = List()) {
      // Most lists are ticked from the first place on: this stops early.
      for (int i = 0, count = list->Count(); i < count && !ticked; ++i) ticked = list->Item(i)->Checked;
    }
  }
  btnReplace->setEnabled(ticked);
}

void TfrmResult::FocusReplacing() { cmbReplacing->setFocus(Qt::OtherFocusReason); }

int TfrmResult::CurrentRow() const { return scbPlaces->CurrentRow(); }

void TfrmResult::SetCurrentRow(int row) { scbPlaces->SetCurrentRow(row); }

void TfrmResult::ToggleCheck(int row) {
  scbPlaces->ToggleCheck(row);
  scbPlaces->UpdateRow(row);
}

void TfrmResult::SetAllChecks(bool value) {
  TAbstractPlaceList* list = List();
  if (!list) return;
  for (int i = 0, count = list->Count(); i < count; ++i) list->Item(i)->Checked = value;
}

void TfrmResult::Warn(TMsg row) {
  TDialogs::Current().Message(this, kCaption, hovrak::Msg(row), TDialogs::TIcon::Warning, QMessageBox::Ok);
}

void TfrmResult::ShowError(const std::exception& error) {
  TDialogs::Current().Message(this, kCaption,
                              hovrak::Msg(TMsg::ErrorOccurred) + QLatin1Char('\n') + QString::fromUtf8(error.what()),
                              TDialogs::TIcon::Error, QMessageBox::Ok);
}

void TfrmResult::OpenInEditor(int row) {
  const std::string& editor = main_.App().Option->Editor;
  if (editor.empty()) {
    Warn(TMsg::NoEditorSet);
    return;
  }
  TAbstractPlaceList* list = List();
  if (!list || row < 0 || row >= list->Count()) return;
  const TAbstractPlace& place = *list->Item(row);
  const std::string command = hovrak::ExpandEditorCommand(editor, place.FileName(), place.Line, place.Column);
  const hovrak::TEditorCommand split = hovrak::SplitEditorCommand(command);
  const std::string program = hovrak::FindProgram(split.Program, std::getenv("PATH"));
  if (program.empty()) {
    Warn(TMsg::EditorNotFound);
    return;
  }
  const QStringList arguments = QProcess::splitCommand(hovrak::FromNarrow(split.Parameters));
  if (!QProcess::startDetached(hovrak::FromNarrow(program), arguments)) Warn(TMsg::EditorFailed);
}

std::vector<TPreviewRow> TfrmResult::PreviewRows() const {
  std::vector<TPreviewRow> rows;
  TAbstractPlaceList* list = List();
  if (!list) return rows;
  std::vector<int> ticked;
  for (int i = 0, count = list->Count(); i < count; ++i)
    if (list->Item(i)->Checked) ticked.push_back(i);
  const std::vector<std::string> replacements =
      main_.App().PreviewReplacements(ticked, hovrak::ToNarrow(cmbReplacing->currentText()));
  const bool narrow = NarrowList();
  const std::string base = main_.DisplayBase();
  rows.reserve(ticked.size());
  for (std::size_t k = 0; k < ticked.size(); ++k) {
    const TPlaceRowTexts texts = TPlaceRowTexts::Make(*list->Item(ticked[k]), narrow, base, true);
    TPreviewRow row;
    row.File = hovrak::FromNarrow(texts.File);
    row.Line = hovrak::FromNarrow(texts.Line);
    row.Prev = hovrak::FromNarrow(texts.Prev);
    row.Hit = hovrak::FromNarrow(texts.Hit);
    row.Replacement = hovrak::FromNarrow(TPlaceRowTexts::ShownHit(replacements[k], narrow));
    row.Next = hovrak::FromNarrow(texts.Next);
    rows.push_back(std::move(row));
  }
  return rows;
}

TMsg TfrmResult::ReplaceStatusRow(int outcome) { return hovrak::ReplaceEndRow(outcome); }

void TfrmResult::btnAllOnClick() {
  if (Running()) return;
  SetAllChecks(true);
  RefreshPlaces();
}

void TfrmResult::btnAllOffClick() {
  if (Running()) return;
  SetAllChecks(false);
  RefreshPlaces();
}

void TfrmResult::btnConfirmClick() {
  if (!List() || Running()) return;
  TfrmConfirm& confirm = *main_.frmConfirm();
  try {
    confirm.SetRows(PreviewRows());
  } catch (const std::exception& error) {
    ShowError(error);
    return;
  }
  TDialogs::Current().Exec(confirm);
}

void TfrmResult::btnReplaceClick() {
  if (main_.State() != TUiState::Found) return;
  const QString replacement = cmbReplacing->currentText();
  const std::string question =
      MessageText(TMsg::ReplaceQuestion, hovrak::ToNarrow(main_.SearchedText()), hovrak::ToNarrow(replacement));
  const auto answer = TDialogs::Current().Message(this, kCaption, hovrak::FromNarrow(question),
                                                  TDialogs::TIcon::Warning, QMessageBox::Yes | QMessageBox::No,
                                                  replacement.isEmpty() ? QMessageBox::No : QMessageBox::Yes);
  if (answer != QMessageBox::Yes) return;

  main_.UpdateHistory(cmbReplacing);
  main_.SetState(TUiState::InReplace);
  int outcome = ReplaceStopped;
  try {
    outcome = main_.App().Replace(hovrak::ToNarrow(cmbReplacing->currentText()));
  } catch (const std::exception& error) {
    // The run failed midway: leave the replacing state as after a stop and say why.
    RefreshPlaces();
    main_.SetState(scbPlaces->Count() > 0 ? TUiState::Found : TUiState::Ready);
    ShowError(error);
    return;
  }
  // A completed run ticks every place left; after a stop, or when nothing was
  // written for want of a backup, the user's ticks stay as they were.
  if (outcome == ReplaceCompleted) SetAllChecks(true);
  RefreshPlaces();
  main_.SetState(scbPlaces->Count() > 0 ? TUiState::Found : TUiState::Ready);
  ShowReplaceSummary(outcome);
}

void TfrmResult::ShowReplaceSummary(int outcome) {
  if (!main_.App().FileSet) {
    main_.ShowStatus(hovrak::Msg(ReplaceStatusRow(outcome)));
    return;
  }
  const hovrak::TReplaceSummary summary = hovrak::ReplaceSummaryText(outcome, *main_.App().FileSet);
  main_.ShowStatus(hovrak::FromNarrow(summary.Status));
  if (summary.Problems || summary.Pruned) {
    QWidget* parent = isVisible() ? static_cast<QWidget*>(this) : &main_;
    TDialogs::Current().Message(parent, kCaption, hovrak::FromNarrow(summary.Text),
                                summary.Problems ? TDialogs::TIcon::Warning : TDialogs::TIcon::Information,
                                QMessageBox::Ok);
  }
}

void TfrmResult::btnReplacingEditClick() {
  if (Running()) return;
  const QString text = cmbReplacing->currentText();
  const QString result = TfrmMultiLineEdit::Edit(this, *main_.App().Option, hovrak::Msg(TMsg::EditReplacementTitle),
                                                 text, [this] { main_.OptionsChanged(); });
  if (result != text) cmbReplacing->setEditText(result);
}

bool TfrmResult::ShowsResults() const {
  const TUiState state = main_.State();
  return state == TUiState::Found || state == TUiState::NotFound;
}

void TfrmResult::mniViewClick() {
  if (ShowsResults()) main_.frmView()->ShowPlace(CurrentRow());
}

void TfrmResult::mniEditorClick() {
  const TUiState state = main_.State();
  if (state == TUiState::Found || state == TUiState::NotFound) OpenInEditor(CurrentRow());
}

void TfrmResult::mniCopyPathClick() {
  TAbstractPlaceList* list = List();
  const int row = CurrentRow();
  if (!list || row < 0 || row >= list->Count()) return;
  QGuiApplication::clipboard()->setText(hovrak::FromNarrow(list->Item(row)->FileName()));
}

void TfrmResult::PopupMenu(const QPoint& globalPos) {
  const bool editorDefault = main_.App().Option->EditorDefault;
  QFont font = pmnPlaces->font();
  font.setBold(editorDefault);
  mniEditor->setFont(font);
  font.setBold(!editorDefault);
  mniView->setFont(font);
  pmnPlaces->setDefaultAction(editorDefault ? mniEditor : mniView);
  // The view and the editor act only while results are shown.
  mniView->setEnabled(ShowsResults());
  mniEditor->setEnabled(ShowsResults());
  pmnPlaces->popup(globalPos);
}

void TfrmResult::ListDoubleClicked() {
  if (!ShowsResults()) return;
  if (main_.App().Option->EditorDefault) {
    OpenInEditor(CurrentRow());
  } else {
    main_.frmView()->ShowPlace(CurrentRow());
  }
}

void TfrmResult::closeEvent(QCloseEvent* event) {
  const TUiState state = main_.State();
  if (state == TUiState::Found || state == TUiState::NotFound) {
    event->accept();
    main_.SetState(TUiState::Ready);
  } else {
    event->ignore();
  }
}

void TfrmResult::wheelEvent(QWheelEvent* event) {
  scbPlaces->WheelScroll(TPlacesView::Notches(*event));
  event->accept();
}
