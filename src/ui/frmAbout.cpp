#include "ui/frmAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(hovrak::Msg(TMsg::AboutTitle));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  ProgramIcon = new QLabel(panel);
  ProgramIcon->setObjectName("ProgramIcon");
  ProgramIcon->setPixmap(hovrak::ProgramIcon().pixmap(QSize(48, 48)));
  ProgramIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  ProductName = new QLabel(QStringLiteral("Mirun"), panel);
  ProductName->setObjectName("ProductName");
  QFont big = hovrak::JapaneseFont(false, 18);
  big.setBold(true);
  ProductName->setFont(big);

  Version = new QLabel(QStringLiteral("Ver. ") + QStringLiteral(MIRUN_VERSION), panel);
  Version->setObjectName("Version");

  lblCopyright = new QLabel(hovrak::Msg(TMsg::AboutNotice), panel);
  lblCopyright->setObjectName("lblCopyright");
  lblCopyright->setTextFormat(Qt::PlainText);
  lblCopyright->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(16);
  grid->addWidget(ProgramIcon, 0, 0, 3, 1);
  grid->addWidget(ProductName, 0, 1);
  grid->addWidget(Version, 1, 1);
  grid->addWidget(lblCopyright, 2, 1);
  grid->setColumnStretch(1, 1);

  OKButton = new QPushButton(hovrak::Msg(TMsg::Ok), this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(panel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}
