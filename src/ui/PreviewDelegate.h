#pragma once
// Draws a line of the replace preview with its changed part marked, as a diff shows
// it: the replaced text struck out on red in the "before" column, the replacement
// in bold on green in the "after" column. Long lines are cut around the change so
// that it always shows.

#include <QStyledItemDelegate>

class TPreviewDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  // after: the column shows the line after the replacement.
  TPreviewDelegate(bool after, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A little taller than a plain row: the mark must not touch the next row, nor
  // cut an underscore.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Background of the changed part.
  static QColor MarkColor(bool after);

 private:
  bool after_;
};
