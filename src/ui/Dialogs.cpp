#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>

namespace {

TDialogs* g_current = nullptr;

QMessageBox::Icon ToQtIcon(TDialogs::TIcon icon) {
  switch (icon) {
    case TDialogs::TIcon::Information: return QMessageBox::Information;
    case TDialogs::TIcon::Warning: return QMessageBox::Warning;
    case TDialogs::TIcon::Error: return QMessageBox::Critical;
    case TDialogs::TIcon::Question: return QMessageBox::Question;
    case TDialogs::TIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

TDialogs::~TDialogs() = default;

QMessageBox::StandardButton TDialogs::Message(QWidget* parent, const QString& caption, const QString& text, TIcon icon,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
  QMessageBox box(ToQtIcon(icon), caption, text, buttons, parent);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  box.setTextFormat(Qt::PlainText);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

int TDialogs::Exec(QDialog& dialog) { return dialog.exec(); }

QString TDialogs::ExistingDirectory(QWidget* parent, const QString& caption, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, caption, start);
}

QStringList TDialogs::OpenFileNames(QWidget* parent, const QString& caption, const QString& start,
                                    const QString& filter) {
  return QFileDialog::getOpenFileNames(parent, caption, start, filter);
}

QString TDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

void TDialogs::Beep() { QApplication::beep(); }

QString TDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                               const QString& defaultSuffix) {
  QFileDialog dialog(parent, caption, start, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().front();
}

TDialogs& TDialogs::Current() {
  static TDialogs qtDialogs;
  return g_current ? *g_current : qtDialogs;
}

void TDialogs::SetCurrent(TDialogs* dialogs) { g_current = dialogs; }
