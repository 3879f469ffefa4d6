#include "ui/frmFileErrorDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "front/FileErrorQuestion.h"
#include "ui/Dialogs.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

TfrmFileErrorDialog::TfrmFileErrorDialog(const QString& message, bool forcible, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Mirun"));
  setObjectName(QStringLiteral("frmFileErrorDialog"));
  setWindowRole(objectName());  // its caption is the progress window's too
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(QSize(32, 32)));
  Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  // Plain text: the message ends with a path, which must never be read as markup.
  lblMessage = new QLabel(this);
  lblMessage->setObjectName("lblMessage");
  lblMessage->setTextFormat(Qt::PlainText);
  lblMessage->setWordWrap(true);
  lblMessage->setMinimumWidth(377);
  lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblMessage->setText(message);

  auto makeButton = [this](const QString& caption, const char* name, int answer) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setMinimumWidth(89);
    connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
    return button;
  };
  btnSkip = makeButton(QStringLiteral("スキップ(&S)"), "btnSkip", hovrak::FileErrorSkip);
  btnForceAll = makeButton(QStringLiteral("全てスキップ(&A)"), "btnForceAll", hovrak::FileErrorSkipAll);
  btnForce = makeButton(QStringLiteral("置換を強行(&F)"), "btnForce", hovrak::FileErrorForce);
  btnRetry = makeButton(QStringLiteral("再試行(&R)"), "btnRetry", hovrak::FileErrorRetry);
  btnAbort = makeButton(QStringLiteral("中止(&C)"), "btnAbort", hovrak::FileErrorAbort);
  // Force and Retry share one place: a failure that can be forced offers Force, one
  // that cannot (the file cannot be opened or written) offers Retry.
  btnForce->setVisible(forcible);
  btnRetry->setVisible(!forcible);

  auto* message_row = new QHBoxLayout;
  message_row->setSpacing(16);
  message_row->addWidget(Image1, 0, Qt::AlignTop);
  message_row->addWidget(lblMessage, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {btnSkip, btnForceAll, btnForce, btnRetry, btnAbort}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 8);
  layout->addLayout(message_row, 1);
  layout->addLayout(buttons);

  setTabOrder(btnSkip, btnForceAll);
  setTabOrder(btnForceAll, btnForce);
  setTabOrder(btnForce, btnRetry);
  setTabOrder(btnRetry, btnAbort);
  btnSkip->setFocus();
  resize(457, 153);
}

void TfrmFileErrorDialog::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        if (button->isVisible() && button->isEnabled()) button->click();
        return;
      }
    }
  }
  QDialog::keyPressEvent(event);
}

int TfrmFileErrorDialog::ShowFileErrorDialog(QWidget* parent, const QString& message, bool forcible,
                                             const QString& forceCaption) {
  TfrmFileErrorDialog dialog(message, forcible, parent);
  if (!forceCaption.isEmpty()) dialog.btnForce->setText(forceCaption);
  TDialogs::Current().Beep();
  return TDialogs::Current().Exec(dialog);
}
