#include "ui/frmMultiLineEdit.h"

#include <QPlainTextEdit>

TfrmMultiLineEdit::TfrmMultiLineEdit(QWidget* parent) : QDialog(parent) { memMain = new QPlainTextEdit(this); }

QString TfrmMultiLineEdit::Edit(QWidget*, TOption&, const QString&, const QString& text,
                                const std::function<void()>&) {
  return text;
}
