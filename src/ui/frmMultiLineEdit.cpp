#include "ui/frmMultiLineEdit.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "pattern/Escapes.h"
#include "settings/Option.h"
#include "ui/Dialogs.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

TfrmMultiLineEdit::TfrmMultiLineEdit(QWidget* parent) : QDialog(parent) {
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));
  memMain = new QPlainTextEdit(this);
  memMain->setObjectName("memMain");
  memMain->setLineWrapMode(QPlainTextEdit::NoWrap);
  memMain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memMain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memMain);
  resize(320, 209);
}

QString TfrmMultiLineEdit::Edit(QWidget* parent, TOption& option, const QString& caption, const QString& text,
                                const std::function<void()>& optionsChanged) {
  if (!option.Escape || option.ByLine) {
    const auto answer =
        TDialogs::Current().Message(parent, QStringLiteral("Mirun"), hovrak::Msg(TMsg::MultiLineOptionQuestion),
                                    TDialogs::TIcon::Information, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return text;
    option.Escape = true;
    option.ByLine = false;
    if (optionsChanged) optionsChanged();
  }

  TfrmMultiLineEdit dialog(parent);
  dialog.setWindowTitle(caption);
  // The one-line form's line breaks are CR LF; the editor works with LF alone, so
  // convert on the way in and back again before escaping.
  QString shown = hovrak::FromNarrow(UnescapeLineBreaks(hovrak::ToNarrow(text)));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  dialog.memMain->setPlainText(shown);
  dialog.memMain->selectAll();
  dialog.memMain->setFocus();
  TDialogs::Current().Exec(dialog);  // no cancel: however it closes, the edits count
  QString edited = dialog.memMain->toPlainText();
  edited.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return hovrak::FromNarrow(EscapeLineBreaks(hovrak::ToNarrow(edited)));
}
