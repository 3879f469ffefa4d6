#include "ui/frmProcess.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "shared/StoppedException.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"
#include "ui/WrapAnywhereLabel.h"

TfrmProcess::TfrmProcess(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Mirun"));
  setObjectName(QStringLiteral("frmProcess"));
  setWindowRole(objectName());  // its caption is the questions' caption too
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  lblMsg = new QLabel(this);
  lblMsg->setObjectName("lblMsg");
  lblMsg->setTextFormat(Qt::PlainText);
  lblN = new QLabel(QStringLiteral("0/0"), this);
  lblN->setObjectName("lblN");
  lblN->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblN->setTextFormat(Qt::PlainText);

  // The path being worked on: a fixed width, two lines high, wrapped anywhere so a
  // long path shows in full rather than cut off.
  lblSubMsg = new TWrapAnywhereLabel(this);
  lblSubMsg->setObjectName("lblSubMsg");
  lblSubMsg->setWordWrap(true);
  lblSubMsg->setFixedWidth(257);
  lblSubMsg->setMinimumHeight(2 * lblSubMsg->fontMetrics().lineSpacing());
  lblSubMsg->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  pgbProg = new QProgressBar(this);
  pgbProg->setObjectName("pgbProg");
  pgbProg->setRange(0, 100);
  pgbProg->setValue(0);
  pgbProg->setTextVisible(false);

  btnStop = new QPushButton(QStringLiteral("中止"), this);
  btnStop->setObjectName("btnStop");
  btnStop->setAutoDefault(false);
  connect(btnStop, &QPushButton::clicked, this, [this] { stop_ = true; });

  auto* top = new QHBoxLayout;
  top->addWidget(lblMsg, 1);
  top->addWidget(lblN);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(btnStop);
  bottom->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(top);
  layout->addWidget(lblSubMsg);
  layout->addWidget(pgbProg);
  layout->addLayout(bottom);
  resize(272, 118);
}

void TfrmProcess::Update(const QString& main, const QString& sub, int index, int count) {
  if (main != lastMain_) {
    lblMsg->setText(main);
    lastMain_ = main;
  }
  if (sub != lastSub_) {
    lblSubMsg->setText(sub);
    lastSub_ = sub;
  }
  lblN->setText(QString::number(index) + QLatin1Char('/') + QString::number(count));
  int percent = 0;
  if (count > 0) percent = static_cast<int>(static_cast<double>(index) * 100.0 / static_cast<double>(count));
  // A value outside the range would be ignored by the bar and leave a stale one.
  pgbProg->setValue(qBound(0, percent, 100));
}

void TfrmProcess::StopCheck() {
  // Pumping events costs far more than a place costs to find, so it happens at most
  // every few milliseconds; the flag itself is looked at on every call.
  if (!sincePump_.isValid() || sincePump_.elapsed() >= kPumpIntervalMs) {
    QCoreApplication::processEvents();
    sincePump_.start();
  }
  if (stop_) throw EStoppedException();
}

void TfrmProcess::showEvent(QShowEvent* event) {
  lastMain_ = hovrak::Msg(TMsg::Preparing);
  lblMsg->setText(lastMain_);
  lblSubMsg->setText(QString());
  lastSub_.clear();
  lblN->setText(QStringLiteral("0/0"));
  pgbProg->setValue(0);
  stop_ = false;
  sincePump_.invalidate();
  QDialog::showEvent(event);
}

void TfrmProcess::reject() { stop_ = true; }
