#include "ui/PlacesHeader.h"

#include <QLabel>
#include <QMouseEvent>

#include "ui/UiText.h"

TPlacesHeader::TPlacesHeader(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnlPlacesHead"));
  setCursor(Qt::SplitHCursor);
  const char* const names[] = {"pnlCheck", "pnlPos", "pnlFile", "pnlLine"};
  const TMsg captions[] = {TMsg::ColumnReplace, TMsg::ColumnPlace, TMsg::ColumnFile, TMsg::ColumnLine};
  for (int i = 0; i < TPlaceColumns::kCount; ++i) {
    auto* panel = new QLabel(hovrak::Msg(captions[i]), this);
    panel->setObjectName(QString::fromLatin1(names[i]));
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setCursor(Qt::ArrowCursor);
    panel->setTextFormat(Qt::PlainText);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
  pnlCheck = panels_[0];
  pnlPos = panels_[1];
  pnlFile = panels_[2];
  pnlLine = panels_[3];
  setFixedHeight(sizeHint().height());
  PlacePanels();
}

QSize TPlacesHeader::sizeHint() const {
  // 18 pixels at the designed font; more when the font is taller.
  return QSize(columns_[TPlaceColumns::Line].Right(), std::max(18, fontMetrics().height() + 4));
}

void TPlacesHeader::mousePressEvent(QMouseEvent* event) {
  // Only the gaps are handles: a press on a panel is not a drag.
  const int x = event->position().toPoint().x();
  if (event->button() != Qt::LeftButton || childAt(event->position().toPoint()) != nullptr) return;
  dragColumn_ = columns_.DragColumnAt(x);
  lastX_ = x;
}

void TPlacesHeader::mouseMoveEvent(QMouseEvent* event) {
  if (dragColumn_ < 0) return;
  const int x = event->position().toPoint().x();
  if (!columns_.Drag(dragColumn_, x - lastX_)) return;
  lastX_ = x;
  PlacePanels();
  emit ColumnsChanged();
}

void TPlacesHeader::mouseReleaseEvent(QMouseEvent*) { dragColumn_ = -1; }

void TPlacesHeader::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  columns_.Fit(width());
  PlacePanels();
  emit ColumnsChanged();
}

void TPlacesHeader::SetWidths(const std::array<int, TPlaceColumns::kCount>& widths) {
  columns_.SetWidths(widths);
  if (isVisible()) columns_.Fit(width());
  PlacePanels();
  emit ColumnsChanged();
}

void TPlacesHeader::PlacePanels() {
  for (int i = 0; i < TPlaceColumns::kCount; ++i) {
    const TPlaceColumn& column = columns_[i];
    panels_[static_cast<std::size_t>(i)]->setGeometry(column.Left, 0, column.Width, height());
  }
}
