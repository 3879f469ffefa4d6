#pragma once
// The replace preview: the ticked places' texts before and after the replacement,
// in a read-only two-column list. Created once and reused.

#include <QDialog>

class QTreeWidget;

class TfrmConfirm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmConfirm(QWidget* parent = nullptr);

  void Clear();
  void Add(const QString& before, const QString& after);

  QTreeWidget* lsvConfirm = nullptr;
};
