#pragma once
// The CSV dialog: writes the ticked places of the current results as CSV, to a file
// in a chosen character code or to the clipboard. One instance lives as long as the
// main window, so the chosen columns, count and code carry over between openings.

#include <QDialog>
#include <QString>

#include "front/CsvWriter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TAbstractPlaceList;
class TfrmMain;

class TfrmCopyResult : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmCopyResult(TfrmMain& main);

  // The writer as the controls set it up (columns, count, the main window's display
  // base); the line end is the caller's.
  TCsvWriter Writer() const;
  // Results of an ASCII-mode search: the combo shows "ASCII" and is disabled, since
  // such results are written byte for byte; otherwise it is enabled.
  void FormShow();
  // Save asks for a path and writes the file; copy puts the CSV on the clipboard.
  void btnSaveClick();
  void btnCopyClick();

  QLabel* lblDescription = nullptr;
  QCheckBox* chkFile = nullptr;
  QCheckBox* chkLine = nullptr;
  QCheckBox* chkHit = nullptr;
  QCheckBox* chkFowFol = nullptr;
  QLabel* lblFowFolLen1 = nullptr;
  QLineEdit* edtFowFolLen = nullptr;
  QLabel* lblFowFolLen2 = nullptr;
  QLabel* lblCharCode = nullptr;
  QComboBox* cmbCharCode = nullptr;
  QPushButton* btnSave = nullptr;
  QPushButton* btnCopy = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The click handler the save and copy buttons share.
  void Output(bool save);
  const TAbstractPlaceList* Places() const;
  bool NarrowResults() const;
  // Writes the CSV to path in the chosen code; false with the system error when the
  // file could not be written.
  bool SaveTo(const QString& path, int& error) const;
  void CopyToClipboard() const;

  TfrmMain& main_;
  // The path chosen last, offered again by the next save.
  QString lastPath_;
};
