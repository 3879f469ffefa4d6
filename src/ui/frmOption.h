#pragma once
// The option dialog: the search and replace options and the backup store's
// settings on two pages. Every showing starts from the objects' values; OK writes
// the controls back, Cancel changes nothing.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TBackup;
class TOption;

class TfrmOption : public QDialog {
  Q_OBJECT
 public:
  TfrmOption(TOption& option, TBackup& backup, QWidget* parent = nullptr);

  // The external editor lines offered in edtEditor.
  static QStringList EditorPresets();

  // What every showing does: controls from the objects, the enabling rules, the
  // first page in front and the focus on the mode.
  void FormShow();
  // OK: the controls back into the objects, then close with Accepted.
  void btnOkClick();
  // The enabling rules, also run on each change of the control named first.
  void cmbSeaTypeChange();
  void chkByLineClick();
  void chkBackupClick();
  // The browse buttons.
  void btnEditorClick();
  void btnBackupDirClick();

  QTabWidget* pgcMain = nullptr;
  QWidget* tbsSearchReplace = nullptr;
  QWidget* tbsBackup = nullptr;
  QLabel* lblMode = nullptr;
  QComboBox* cmbMode = nullptr;
  QCheckBox* chkSubDir = nullptr;
  QCheckBox* chkByLine = nullptr;
  QCheckBox* chkCaseSensitive = nullptr;
  QCheckBox* chkEscape = nullptr;
  QCheckBox* chkShowLine = nullptr;
  QLabel* lblCharCode = nullptr;
  QComboBox* cmbCharCode = nullptr;
  QCheckBox* chkCheckCharCode = nullptr;
  QCheckBox* chkCheckTime = nullptr;
  QLineEdit* edtMaxFileSize = nullptr;
  QLabel* lblMaxFileSize = nullptr;
  QSpinBox* spnThreads = nullptr;
  QLabel* lblThreads = nullptr;
  QLabel* lblThreadsNote = nullptr;
  QLabel* lblEditor = nullptr;
  QComboBox* edtEditor = nullptr;
  QPushButton* btnEditor = nullptr;
  QCheckBox* chkEditorDefault = nullptr;
  QCheckBox* chkBackup = nullptr;
  QLineEdit* edtBackupMaxSize = nullptr;
  QLabel* lblBackupMaxSize = nullptr;
  QLineEdit* edtBackupDeletableDay = nullptr;
  QLabel* lblBackupDeletableDay1 = nullptr;
  QLabel* lblBackupDeletableDay2 = nullptr;
  QLabel* lblBackupDir = nullptr;
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
