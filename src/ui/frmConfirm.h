#pragma once
// The replace preview: the ticked places' texts before and after the replacement,
// in a read-only two-column list. Created once and reused.

#include <utility>
#include <vector>

#include <QDialog>
#include <QString>

class QTreeWidget;

class TfrmConfirm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmConfirm(QWidget* parent = nullptr);

  void Clear();
  void Add(const QString& before, const QString& after);
  // Many rows at once (much faster than one Add per row for a long list).
  void AddRows(const std::vector<std::pair<QString, QString>>& rows);

  QTreeWidget* lsvConfirm = nullptr;
};
