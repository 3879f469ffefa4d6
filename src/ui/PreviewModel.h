#pragma once
// The rows of the replace preview as a table for a view: file, line, the line before
// and the line after the replacement. The two line columns give their parts through
// PartsRole for the delegate that marks the change.

#include <vector>

#include <QAbstractTableModel>

#include "ui/PreviewRow.h"

class TPreviewModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum : int { FileColumn = 0, LineColumn = 1, BeforeColumn = 2, AfterColumn = 3, ColumnCount = 4 };
  // A QStringList of three: the text before the change, the changed part, the text
  // after it.
  static constexpr int PartsRole = Qt::UserRole + 1;

  explicit TPreviewModel(QObject* parent = nullptr);

  void SetRows(std::vector<TPreviewRow> rows);
  const std::vector<TPreviewRow>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::vector<TPreviewRow> rows_;
};
