#pragma once
// The result list's column header: four raised panels (tick, position, file, line)
// whose gaps are drag handles that move the column edges; a resize of the header
// fits the columns to its width.

#include <array>

#include <QWidget>

#include "ui/PlaceColumns.h"

class QLabel;

class TPlacesHeader : public QWidget {
  Q_OBJECT
 public:
  explicit TPlacesHeader(QWidget* parent = nullptr);

  const TPlaceColumns& Columns() const { return columns_; }
  // Stored widths; fitted to the header's width at once when it is shown, else at
  // its first resize.
  void SetWidths(const std::array<int, TPlaceColumns::kCount>& widths);
  // The column whose edge is being dragged; -1 when none.
  int DragColumn() const { return dragColumn_; }
  QSize sizeHint() const override;

  QLabel* pnlCheck = nullptr;
  QLabel* pnlPos = nullptr;
  QLabel* pnlFile = nullptr;
  QLabel* pnlLine = nullptr;

 signals:
  // The columns moved (a drag step or a resize).
  void ColumnsChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlacePanels();

  TPlaceColumns columns_;
  std::array<QLabel*, TPlaceColumns::kCount> panels_{};
  int dragColumn_ = -1;
  int lastX_ = 0;
};
