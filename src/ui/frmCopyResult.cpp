#include "ui/frmCopyResult.h"

#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "front/SystemErrorText.h"
#include "place/PlaceList.h"
#include "text/CharCode.h"
#include "text/File.h"
#include "ui/Dialogs.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"

namespace {

// The combo's items stand for the character codes 1 to 7; item 2 is ASCII.
constexpr int kAsciiItem = static_cast<int>(TCharCode::ASCII) - 1;

// The hourglass while the CSV is built and written.
class TBusyCursor {
 public:
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// UTF-16 units to a QString, unit for unit.
QString FromUnits(const std::wstring& units) {
  QString text(static_cast<qsizetype>(units.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < units.size(); ++i) out[i] = QChar(static_cast<char16_t>(units[i]));
  return text;
}

QCheckBox* MakeCheck(QWidget* parent, TMsg row, const char* name, bool checked) {
  auto* box = new QCheckBox(hovrak::Msg(row), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QPushButton* MakeButton(QWidget* parent, TMsg row, const char* name) {
  auto* button = new QPushButton(hovrak::Msg(row), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TfrmCopyResult::TfrmCopyResult(TfrmMain& main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setObjectName(QStringLiteral("frmCopyResult"));
  setWindowTitle(hovrak::Msg(TMsg::CopyResultTitle));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  lblDescription = MakeLabel(this, hovrak::Msg(TMsg::CopyResultDescription), "lblDescription");
  chkFile = MakeCheck(this, TMsg::CsvFileName, "chkFile", true);
  chkLine = MakeCheck(this, TMsg::CsvLine, "chkLine", true);
  chkHit = MakeCheck(this, TMsg::CsvHit, "chkHit", false);
  chkFowFol = MakeCheck(this, TMsg::CsvAround, "chkFowFol", false);
  lblFowFolLen1 = MakeLabel(this, hovrak::Msg(TMsg::CsvAroundEach), "lblFowFolLen1");
  edtFowFolLen = new QLineEdit(QStringLiteral("30"), this);
  edtFowFolLen->setObjectName(QStringLiteral("edtFowFolLen"));
  edtFowFolLen->setFixedWidth(edtFowFolLen->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  lblFowFolLen2 = MakeLabel(this, hovrak::Msg(TMsg::CsvAroundChars), "lblFowFolLen2");

  cmbCharCode = new QComboBox(this);
  cmbCharCode->setObjectName(QStringLiteral("cmbCharCode"));
  cmbCharCode->addItems({QStringLiteral("Shift-JIS"), QStringLiteral("UTF-16 (Unicode)"), QStringLiteral("ASCII"),
                         QStringLiteral("EUC_JP"), QStringLiteral("JIS"), QStringLiteral("UTF-8 BOM"),
                         QStringLiteral("UTF-8")});
  cmbCharCode->setCurrentIndex(0);
  lblCharCode = MakeLabel(this, hovrak::Msg(TMsg::CharCodeLabel), "lblCharCode");
  lblCharCode->setBuddy(cmbCharCode);

  btnSave = MakeButton(this, TMsg::SaveButton, "btnSave");
  btnSave->setDefault(true);
  btnSave->setAutoDefault(true);
  btnCopy = MakeButton(this, TMsg::CopyButton, "btnCopy");
  btnCancel = MakeButton(this, TMsg::Cancel, "btnCancel");
  connect(btnSave, &QPushButton::clicked, this, &TfrmCopyResult::btnSaveClick);
  connect(btnCopy, &QPushButton::clicked, this, &TfrmCopyResult::btnCopyClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  // The columns one under the other, the count beside its column, the code below.
  auto* count = new QHBoxLayout;
  count->setSpacing(4);
  count->addWidget(chkFowFol);
  count->addSpacing(12);
  count->addWidget(lblFowFolLen1);
  count->addWidget(edtFowFolLen);
  count->addWidget(lblFowFolLen2);
  count->addStretch(1);

  auto* columns = new QVBoxLayout;
  columns->setContentsMargins(12, 0, 0, 0);
  columns->setSpacing(6);
  columns->addWidget(chkFile);
  columns->addWidget(chkLine);
  columns->addWidget(chkHit);
  columns->addLayout(count);

  auto* code = new QHBoxLayout;
  code->addWidget(lblCharCode);
  code->addWidget(cmbCharCode);
  code->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnSave);
  buttons->addWidget(btnCopy);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(10);
  layout->addWidget(lblDescription);
  layout->addLayout(columns);
  layout->addLayout(code);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Tab order as designed: columns, count, code, buttons.
  setTabOrder(chkFile, chkLine);
  setTabOrder(chkLine, chkHit);
  setTabOrder(chkHit, chkFowFol);
  setTabOrder(chkFowFol, edtFowFolLen);
  setTabOrder(edtFowFolLen, cmbCharCode);
  setTabOrder(cmbCharCode, btnSave);
  setTabOrder(btnSave, btnCopy);
  setTabOrder(btnCopy, btnCancel);
}

const TAbstractPlaceList* TfrmCopyResult::Places() const { return main_.App().PlaceList.get(); }

bool TfrmCopyResult::NarrowResults() const { return dynamic_cast<const TPlaceList<char>*>(Places()) != nullptr; }

TCsvWriter TfrmCopyResult::Writer() const {
  TCsvWriter csv;
  csv.File = chkFile->isChecked();
  csv.Line = chkLine->isChecked();
  csv.Hit = chkHit->isChecked();
  csv.Around = chkFowFol->isChecked();
  csv.AroundLength = TCsvWriter::ParseAroundLength(hovrak::ToNarrow(edtFowFolLen->text()));
  csv.DisplayBase = main_.DisplayBase();
  return csv;
}

void TfrmCopyResult::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
  // Centred on the screen, as designed.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void TfrmCopyResult::FormShow() {
  if (NarrowResults()) {
    cmbCharCode->setCurrentIndex(kAsciiItem);
    cmbCharCode->setEnabled(false);
  } else {
    cmbCharCode->setEnabled(true);
  }
}

void TfrmCopyResult::btnSaveClick() { Output(true); }

void TfrmCopyResult::btnCopyClick() { Output(false); }

void TfrmCopyResult::Output(bool save) {
  if (!save) {
    {
      const TBusyCursor busy;
      CopyToClipboard();
    }
    accept();
    return;
  }
  const QString path = TDialogs::Current().SaveFileName(this, hovrak::Msg(TMsg::CopyResultTitle), lastPath_,
                                                        QStringLiteral("CSV (*.csv);;*.* (*)"), QStringLiteral("csv"));
  if (path.isEmpty()) {
    // Nothing is written; the dialog closes all the same.
    reject();
    return;
  }
  lastPath_ = path;
  int error = 0;
  bool saved = false;
  {
    const TBusyCursor busy;
    saved = SaveTo(path, error);
  }
  if (saved) {
    accept();
    return;
  }
  // The user must know; the dialog stays open for another path.
  QString text = hovrak::Msg(TMsg::SaveFailed) + QLatin1Char('\n') + path;
  if (error != 0) text += QLatin1Char('\n') + hovrak::FromNarrow(hovrak::SystemErrorText(error));
  TDialogs::Current().Message(this, QStringLiteral("Mirun"), text, TDialogs::TIcon::Error, QMessageBox::Ok);
}

bool TfrmCopyResult::SaveTo(const QString& path, int& error) const {
  // The path as the file dialog names it, in the file system's bytes.
  const std::string fileName = QFile::encodeName(path).toStdString();
  TCsvWriter csv = Writer();
  // The text file's saving turns each "\n" into CR LF.
  csv.LineEnd = "\n";
  TFileOperationResult result;
  if (NarrowResults()) {
    // Narrow results are the files' own bytes; they are written as they are.
    TFile<char> file(fileName);
    file.Text = csv.Build(Places());
    result = file.Save();
    error = file.LastError;
  } else {
    TFile<wchar_t> file(fileName, static_cast<TCharCode>(cmbCharCode->currentIndex() + 1));
    file.Text = csv.WideBuild(Places());
    result = file.Save();
    error = file.LastError;
  }
  return result == TFileOperationResult::Success;
}

void TfrmCopyResult::CopyToClipboard() const {
  TCsvWriter csv = Writer();
  csv.LineEnd = "\r\n";
  // Wide results go over unit for unit (a NUL does not end them); narrow ones are
  // text in the system code page.
  const QString text = NarrowResults() ? hovrak::FromNarrow(csv.Build(Places())) : FromUnits(csv.WideBuild(Places()));
  QGuiApplication::clipboard()->setText(text);
}
