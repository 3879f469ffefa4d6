#pragma once
// The about box: program icon, name, version and the notice line.

#include <QDialog>

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAbout(QWidget* parent = nullptr);
};
