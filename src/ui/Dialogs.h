#pragma once
// The one seam through which every window asks the user something: message boxes,
// our own modal dialogs, file and folder choosers, the warning sound. The default
// uses the real Qt dialogs; tests install their own to answer without a human.

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

class TDialogs {
 public:
  enum class TIcon { None, Information, Warning, Error, Question };

  virtual ~TDialogs();

  // A message box with the caption, text, icon and buttons; defaultButton
  // NoButton leaves Qt's choice. Returns the button pressed.
  virtual QMessageBox::StandardButton Message(QWidget* parent, const QString& caption, const QString& text, TIcon icon,
                                              QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                              QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  // Shows one of our dialogs modally and returns its result code.
  virtual int Exec(QDialog& dialog);
  // Folder chooser; "" when cancelled.
  virtual QString ExistingDirectory(QWidget* parent, const QString& caption, const QString& start);
  // Open dialog for several files; empty when cancelled.
  virtual QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& start,
                                    const QString& filter);
  // Open dialog for one file; "" when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter);
  // The exclamation sound.
  virtual void Beep();
  // Save dialog for one file: asks before overwriting, adds defaultSuffix to a name
  // typed without one; "" when cancelled.
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                               const QString& defaultSuffix);

  // The dialogs every window uses; the Qt ones until a test sets others. Not owned.
  static TDialogs& Current();
  static void SetCurrent(TDialogs* dialogs);
};
