#include "ui/frmMain.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "ui/ElidedLabel.h"
#include "ui/UiText.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

// The main window's controls, their layout and their connections, and where the
// windows stand before any stored bounds are applied.

void TfrmMain::CreateControls() {
  setWindowTitle(hovrak::Msg(TMsg::MainTitle));
  setObjectName(QStringLiteral("frmMain"));
  setWindowRole(objectName());
  setFont(hovrak::JapaneseFont(false));
  setAcceptDrops(true);

  mniTool = menuBar()->addMenu(hovrak::Msg(TMsg::MenuTools));
  mniTool->setObjectName(QStringLiteral("mniTool"));
  mniOption = mniTool->addAction(hovrak::Msg(TMsg::MenuOptions));
  mniOption->setObjectName(QStringLiteral("mniOption"));
  mniCopyResult = mniTool->addAction(hovrak::Msg(TMsg::MenuSaveResults));
  mniCopyResult->setObjectName(QStringLiteral("mniCopyResult"));
  mniRestore = mniTool->addAction(hovrak::Msg(TMsg::MenuUndoReplace));
  mniRestore->setObjectName(QStringLiteral("mniRestore"));
  mniRestore->setEnabled(false);  // until the first show enters Ready
  mniHelp = menuBar()->addMenu(hovrak::Msg(TMsg::MenuHelp));
  mniHelp->setObjectName(QStringLiteral("mniHelp"));
  mniHelpC = mniHelp->addAction(hovrak::Msg(TMsg::MenuHelpContents));
  mniHelpC->setObjectName(QStringLiteral("mniHelpC"));
  mniAbout = mniHelp->addAction(hovrak::Msg(TMsg::MenuAbout));
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
  const auto makeLabel = [client](const char* name, TMsg row, QWidget* buddy) {
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
  lblPath = makeLabel("lblPath", TMsg::TargetLabel, cmbPath);
  btnPathRef = makeDots("btnPathRef");
  cmbFilter = makeBox("cmbFilter");
  lblFilter = makeLabel("lblFilter", TMsg::FileMaskLabel, cmbFilter);
  cmbSearched = makeBox("cmbSearched");
  cmbSearched->setFont(hovrak::JapaneseFont(true));
  lblSearched = makeLabel("lblSearched", TMsg::SearchedLabel, cmbSearched);
  btnSearchedEdit = makeDots("btnSearchedEdit");
  btnSearchedEdit->setToolTip(hovrak::Msg(TMsg::MultiLineInput));

  cmbMode = new QComboBox(client);
  cmbMode->setObjectName(QStringLiteral("cmbMode"));
  cmbMode->addItems({hovrak::Msg(TMsg::ModeNormal), hovrak::Msg(TMsg::ModeWord), hovrak::Msg(TMsg::ModeRegex)});
  chkSubDir = new QCheckBox(hovrak::Msg(TMsg::SubFolders), client);
  chkSubDir->setObjectName(QStringLiteral("chkSubDir"));
  btnOption = new QPushButton(hovrak::Msg(TMsg::OptionsButton), client);
  btnOption->setObjectName(QStringLiteral("btnOption"));
  btnOption->setAutoDefault(false);
  btnSearch = new QPushButton(hovrak::Msg(TMsg::SearchButton), client);
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
  mniDirRef = pmnPathRef->addAction(hovrak::Msg(TMsg::FolderButton));
  mniDirRef->setObjectName(QStringLiteral("mniDirRef"));
  mniFileRef = pmnPathRef->addAction(hovrak::Msg(TMsg::FileButton));
  mniFileRef->setObjectName(QStringLiteral("mniFileRef"));

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
