#pragma once
// The option dialog: the search and replace options and the backup store's
// settings on two pages. Every showing starts from the objects' values; OK writes
// the controls back, Cancel changes nothing.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TBackup;
class TOption;

class TfrmOption : public QDialog {
  Q_OBJECT
 public:
  TfrmOption(TOption& option, TBackup& backup, QWidget* parent = nullptr);

  QTabWidget* pgcMain = nullptr;
  QComboBox* cmbMode = nullptr;
  QCheckBox* chkSubDir = nullptr;
  QCheckBox* chkByLine = nullptr;
  QCheckBox* chkCaseSensitive = nullptr;
  QCheckBox* chkEscape = nullptr;
  QCheckBox* chkShowLine = nullptr;
  QComboBox* cmbCharCode = nullptr;
  QCheckBox* chkCheckCharCode = nullptr;
  QCheckBox* chkCheckTime = nullptr;
  QLineEdit* edtMaxFileSize = nullptr;
  QComboBox* edtEditor = nullptr;
  QPushButton* btnEditor = nullptr;
  QCheckBox* chkEditorDefault = nullptr;
  QCheckBox* chkBackup = nullptr;
  QLineEdit* edtBackupMaxSize = nullptr;
  QLineEdit* edtBackupDeletableDay = nullptr;
  QLineEdit* edtBackupDir = nullptr;
  QPushButton* btnBackupDir = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCc = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TOption& option_;
  TBackup& backup_;
};
