#pragma once
// The about box: program icon, name, version and the notice line.

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* lblCopyright = nullptr;
  QPushButton* OKButton = nullptr;
};
