#include "ui/PreviewModel.h"

#include <utility>

#include <QStringList>

TPreviewModel::TPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void TPreviewModel::SetRows(std::vector<TPreviewRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int TPreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TPreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TPreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return QVariant();
  const TPreviewRow& row = rows_[static_cast<std::size_t>(index.row())];
  const bool before = index.column() == BeforeColumn;
  const QString& changed = before ? row.Hit : row.Replacement;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      switch (index.column()) {
        case FileColumn: return row.File;
        case LineColumn: return row.Line;
        default: return row.Prev + changed + row.Next;
      }
    case PartsRole:
      if (index.column() == BeforeColumn || index.column() == AfterColumn)
        return QStringList{row.Prev, changed, row.Next};
      return QVariant();
    case Qt::TextAlignmentRole:
      return index.column() == LineColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default: return QVariant();
  }
}

QVariant TPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case FileColumn: return QStringLiteral("ファイル名");
    case LineColumn: return QStringLiteral("行");
    case BeforeColumn: return QStringLiteral("置換前");
    case AfterColumn: return QStringLiteral("置換後");
    default: return QVariant();
  }
}
