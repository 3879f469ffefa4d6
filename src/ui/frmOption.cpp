#include "ui/frmOption.h"

#include <cstdint>
#include <limits>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "backup/Backup.h"
#include "front/PathListText.h"
#include "settings/Option.h"
#include "settings/OptionNumbers.h"
#include "ui/Dialogs.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

namespace {

// The largest whole number of megabytes whose byte count fits the field, so a big
// entry is stored as the largest size that fits rather than wrapping around.
QCheckBox* MakeCheck(QWidget* parent, TMsg row, const char* name) {
  auto* box = new QCheckBox(hovrak::Msg(row), parent);
  box->setObjectName(name);
  return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const char* name, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  if (buddy) label->setBuddy(buddy);
  return label;
}

// A line edit for a whole number, wide enough for a few digits in any font.
QLineEdit* MakeNumberEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setFixedWidth(qMax(33, edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12));
  return edit;
}

QPushButton* MakeBrowseButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setFixedWidth(qMax(25, button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16));
  return button;
}

}  // namespace

QStringList TfrmOption::EditorPresets() {
  // The first two are the lines stored settings files may hold; the rest are the
  // common Linux editors, each opened at the line and column of the place.
  return {
      QStringLiteral("hidemaru /j%l,%c \"%p\""), QStringLiteral("sakura \"%p\" -Y=%l -X=%c"),
      QStringLiteral("gedit \"%p\" +%l:%c"),     QStringLiteral("kate -l %l -c %c \"%p\""),
      QStringLiteral("code -g \"%p\":%l:%c"),    QStringLiteral("gvim \"+call cursor(%l,%c)\" \"%p\""),
      QStringLiteral("emacs +%l:%c \"%p\""),     QStringLiteral("mousepad --line %l --column %c \"%p\""),
  };
}

TfrmOption::TfrmOption(TOption& option, TBackup& backup, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), option_(option), backup_(backup) {
  setWindowTitle(hovrak::Msg(TMsg::OptionTitle));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  pgcMain = new QTabWidget(this);
  pgcMain->setObjectName("pgcMain");

  // Page 1: search and replace.
  tbsSearchReplace = new QWidget;
  tbsSearchReplace->setObjectName("tbsSearchReplace");
  QWidget* p1 = tbsSearchReplace;
  cmbMode = new QComboBox(p1);
  cmbMode->setObjectName("cmbMode");
  cmbMode->addItems({hovrak::Msg(TMsg::ModeNormal), hovrak::Msg(TMsg::ModeWord), hovrak::Msg(TMsg::ModeRegex)});
  lblMode = MakeLabel(p1, hovrak::Msg(TMsg::SearchModeLabel), "lblMode", cmbMode);
  chkSubDir = MakeCheck(p1, TMsg::SubFolders, "chkSubDir");
  chkByLine = MakeCheck(p1, TMsg::ByLine, "chkByLine");
  chkCaseSensitive = MakeCheck(p1, TMsg::MatchCase, "chkCaseSensitive");
  chkEscape = MakeCheck(p1, TMsg::UseEscapes, "chkEscape");
  chkShowLine = MakeCheck(p1, TMsg::ShowLineNumbers, "chkShowLine");
  cmbCharCode = new QComboBox(p1);
  cmbCharCode->setObjectName("cmbCharCode");
  cmbCharCode->addItems({hovrak::Msg(TMsg::CharCodeAuto), QStringLiteral("Shift-JIS"),
                         QStringLiteral("UTF-16 (Unicode)"), QStringLiteral("ASCII"), QStringLiteral("EUC_JP"),
                         QStringLiteral("JIS"), QStringLiteral("UTF-8 BOM"), QStringLiteral("UTF-8")});
  lblCharCode = MakeLabel(p1, hovrak::Msg(TMsg::CharCodeLabel), "lblCharCode", cmbCharCode);
  chkCheckCharCode = MakeCheck(p1, TMsg::CheckCharCode, "chkCheckCharCode");
  chkCheckTime = MakeCheck(p1, TMsg::CheckTimestamp, "chkCheckTime");
  edtMaxFileSize = MakeNumberEdit(p1, "edtMaxFileSize");
  lblMaxFileSize = MakeLabel(p1, hovrak::Msg(TMsg::MaxFileSizeLabel), "lblMaxFileSize", edtMaxFileSize);
  spnThreads = new QSpinBox(p1);
  spnThreads->setObjectName("spnThreads");
  spnThreads->setRange(0, TOption::kMaxThreads);
  lblThreads = MakeLabel(p1, hovrak::Msg(TMsg::SearchThreadsLabel), "lblThreads", spnThreads);
  lblThreadsNote = MakeLabel(p1, hovrak::Msg(TMsg::SearchThreadsNote), "lblThreadsNote", nullptr);
  edtEditor = new QComboBox(p1);
  edtEditor->setObjectName("edtEditor");
  edtEditor->setEditable(true);
  edtEditor->setInsertPolicy(QComboBox::NoInsert);
  edtEditor->addItems(EditorPresets());
  edtEditor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  edtEditor->setMinimumContentsLength(20);
  lblEditor = MakeLabel(p1, hovrak::Msg(TMsg::EditorLabel), "lblEditor", edtEditor);
  btnEditor = MakeBrowseButton(p1, "btnEditor");
  chkEditorDefault = MakeCheck(p1, TMsg::EditorOnDoubleClick, "chkEditorDefault");

  auto* page1 = new QVBoxLayout(p1);
  auto* modeRow = new QHBoxLayout;
  modeRow->addWidget(lblMode);
  modeRow->addWidget(cmbMode);
  modeRow->addStretch(1);
  page1->addLayout(modeRow);
  for (QCheckBox* box : {chkSubDir, chkByLine, chkCaseSensitive, chkEscape, chkShowLine}) page1->addWidget(box);
  auto* codeRow = new QHBoxLayout;
  codeRow->addWidget(lblCharCode);
  codeRow->addWidget(cmbCharCode);
  codeRow->addStretch(1);
  page1->addLayout(codeRow);
  page1->addWidget(chkCheckCharCode);
  page1->addWidget(chkCheckTime);
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(edtMaxFileSize);
  sizeRow->addWidget(lblMaxFileSize);
  sizeRow->addStretch(1);
  page1->addLayout(sizeRow);
  auto* threadsRow = new QHBoxLayout;
  threadsRow->addWidget(lblThreads);
  threadsRow->addWidget(spnThreads);
  threadsRow->addWidget(lblThreadsNote);
  threadsRow->addStretch(1);
  page1->addLayout(threadsRow);
  page1->addWidget(lblEditor);
  auto* editorRow = new QHBoxLayout;
  editorRow->addWidget(edtEditor, 1);
  editorRow->addWidget(btnEditor);
  page1->addLayout(editorRow);
  page1->addWidget(chkEditorDefault);
  page1->addStretch(1);

  // Page 2: backup.
  tbsBackup = new QWidget;
  tbsBackup->setObjectName("tbsBackup");
  QWidget* p2 = tbsBackup;
  chkBackup = MakeCheck(p2, TMsg::MakeBackup, "chkBackup");
  edtBackupMaxSize = MakeNumberEdit(p2, "edtBackupMaxSize");
  lblBackupMaxSize = MakeLabel(p2, hovrak::Msg(TMsg::BackupMaxSizeLabel), "lblBackupMaxSize", edtBackupMaxSize);
  edtBackupDeletableDay = MakeNumberEdit(p2, "edtBackupDeletableDay");
  lblBackupDeletableDay1 = MakeLabel(p2, hovrak::Msg(TMsg::BackupDeletableDays), "lblBackupDeletableDay1", nullptr);
  lblBackupDeletableDay2 =
      MakeLabel(p2, hovrak::Msg(TMsg::BackupDeleteNotice), "lblBackupDeletableDay2", edtBackupDeletableDay);
  edtBackupDir = new QLineEdit(p2);
  edtBackupDir->setObjectName("edtBackupDir");
  lblBackupDir = MakeLabel(p2, hovrak::Msg(TMsg::BackupFolderLabel), "lblBackupDir", edtBackupDir);
  btnBackupDir = MakeBrowseButton(p2, "btnBackupDir");

  auto* page2 = new QVBoxLayout(p2);
  page2->addWidget(chkBackup);
  auto* numbers = new QGridLayout;
  numbers->setContentsMargins(16, 0, 0, 0);
  numbers->addWidget(edtBackupMaxSize, 0, 0);
  numbers->addWidget(lblBackupMaxSize, 0, 1);
  numbers->addWidget(edtBackupDeletableDay, 1, 0);
  numbers->addWidget(lblBackupDeletableDay1, 1, 1);
  numbers->addWidget(lblBackupDeletableDay2, 2, 1);
  numbers->setColumnStretch(1, 1);
  page2->addLayout(numbers);
  page2->addWidget(lblBackupDir);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(edtBackupDir, 1);
  dirRow->addWidget(btnBackupDir);
  page2->addLayout(dirRow);
  page2->addStretch(1);

  pgcMain->addTab(tbsSearchReplace, hovrak::Msg(TMsg::TabSearchReplace));
  pgcMain->addTab(tbsBackup, hovrak::Msg(TMsg::TabBackup));

  btnOk = new QPushButton(hovrak::Msg(TMsg::Ok), this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(true);
  btnCc = new QPushButton(hovrak::Msg(TMsg::Cancel), this);
  btnCc->setObjectName("btnCc");
  btnCc->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCc);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(pgcMain, 1);
  layout->addLayout(buttons);
  resize(361, 337);

  connect(cmbMode, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cmbSeaTypeChange(); });
  connect(chkByLine, &QCheckBox::toggled, this, [this] { chkByLineClick(); });
  connect(chkBackup, &QCheckBox::toggled, this, [this] { chkBackupClick(); });
  connect(btnEditor, &QPushButton::clicked, this, [this] { btnEditorClick(); });
  connect(btnBackupDir, &QPushButton::clicked, this, [this] { btnBackupDirClick(); });
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCc, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmOption::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TfrmOption::FormShow() {
  {
    // Loading must not run the rules half-way; they run once, in order, below.
    const QSignalBlocker b1(cmbMode), b2(chkByLine), b3(chkBackup);
    cmbMode->setCurrentIndex(static_cast<int>(option_.Mode));
    chkSubDir->setChecked(option_.SubDir);
    chkByLine->setChecked(option_.ByLine);
    chkCaseSensitive->setChecked(option_.CaseSensitive);
    chkEscape->setChecked(option_.Escape);
    chkShowLine->setChecked(option_.ShowLine);
    cmbCharCode->setCurrentIndex(static_cast<int>(option_.CharCode));
    chkCheckCharCode->setChecked(option_.CheckCharCode);
    chkCheckTime->setChecked(option_.CheckTime);
    edtMaxFileSize->setText(hovrak::FromNarrow(hovrak::MegabytesText(option_.MaxFileSize)));
    spnThreads->setValue(option_.Threads);
    edtEditor->setEditText(hovrak::FromNarrow(option_.Editor));
    chkEditorDefault->setChecked(option_.EditorDefault);
    chkBackup->setChecked(option_.Backup);
    edtBackupMaxSize->setText(hovrak::FromNarrow(hovrak::MegabytesText(backup_.MaxSize)));
    edtBackupDeletableDay->setText(hovrak::FromNarrow(hovrak::DaysText(backup_.DeletableTime)));
    edtBackupDir->setText(hovrak::FromNarrow(backup_.BackupDir));
  }
  cmbSeaTypeChange();
  chkByLineClick();
  chkBackupClick();
  pgcMain->setCurrentWidget(tbsSearchReplace);
  cmbMode->setFocus();
}

void TfrmOption::cmbSeaTypeChange() {
  // Regular expressions always take escapes, so the box is checked and locked.
  if (cmbMode->currentIndex() == static_cast<int>(TSearchMode::Regex)) {
    chkEscape->setChecked(true);
    chkEscape->setEnabled(false);
  } else {
    chkEscape->setEnabled(true);
  }
}

void TfrmOption::chkByLineClick() {
  // A line-by-line search always knows its line numbers.
  if (chkByLine->isChecked()) {
    chkShowLine->setChecked(true);
    chkShowLine->setEnabled(false);
  } else {
    chkShowLine->setEnabled(true);
  }
}

void TfrmOption::chkBackupClick() {
  const bool on = chkBackup->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(edtBackupMaxSize), static_cast<QWidget*>(edtBackupDeletableDay),
                     static_cast<QWidget*>(edtBackupDir), static_cast<QWidget*>(btnBackupDir)})
    w->setEnabled(on);
}

void TfrmOption::btnOkClick() {
  option_.Mode = static_cast<TSearchMode>(qBound(0, cmbMode->currentIndex(), 2));
  option_.SubDir = chkSubDir->isChecked();
  option_.ByLine = chkByLine->isChecked();
  option_.CaseSensitive = chkCaseSensitive->isChecked();
  option_.Escape = chkEscape->isChecked();
  option_.ShowLine = chkShowLine->isChecked();
  option_.CharCode = static_cast<TCharCode>(qBound(0, cmbCharCode->currentIndex(), 7));
  option_.CheckCharCode = chkCheckCharCode->isChecked();
  option_.CheckTime = chkCheckTime->isChecked();
  option_.MaxFileSize = static_cast<std::int32_t>(
      hovrak::MegabytesFromText(hovrak::ToNarrow(edtMaxFileSize->text()), 50, hovrak::kMaxFileSizeLimit));
  option_.Threads = spnThreads->value();
  option_.Editor = hovrak::ToNarrow(edtEditor->currentText());
  option_.EditorDefault = chkEditorDefault->isChecked();
  option_.Backup = chkBackup->isChecked();
  backup_.MaxSize = static_cast<std::uint32_t>(
      hovrak::MegabytesFromText(hovrak::ToNarrow(edtBackupMaxSize->text()), 10, hovrak::kBackupMaxSizeLimit));
  backup_.DeletableTime = hovrak::DaysFromText(hovrak::ToNarrow(edtBackupDeletableDay->text()));
  backup_.BackupDir = hovrak::ToNarrow(edtBackupDir->text());
  accept();
}

void TfrmOption::btnEditorClick() {
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(edtEditor->currentText()));
  const QString start = paths.empty() ? QString() : hovrak::FromNarrow(paths.front());
  const QString picked = TDialogs::Current().OpenFileName(this, QStringLiteral("外部エディタの指定"), start,
                                                          QStringLiteral("すべてのファイル (*)"));
  if (picked.isEmpty()) return;
  edtEditor->setEditText(QLatin1Char('"') + picked + QStringLiteral("\" \"%p\""));
}

void TfrmOption::btnBackupDirClick() {
  const QString picked =
      TDialogs::Current().ExistingDirectory(this, hovrak::Msg(TMsg::ChooseBackupFolder), edtBackupDir->text());
  if (!picked.isEmpty()) edtBackupDir->setText(picked);
}
