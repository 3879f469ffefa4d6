#include "ui/CheckImages.h"

#include <QPainter>
#include <QPainterPath>

TCheckImages::TCheckImages(qreal devicePixelRatio)
    : ratio_(devicePixelRatio), unticked_(Draw(false, devicePixelRatio)), ticked_(Draw(true, devicePixelRatio)) {}

QPixmap TCheckImages::Draw(bool ticked, qreal ratio) {
  const int side = qRound(kSize * ratio);
  QPixmap pixmap(side, side);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, ratio > 1.0);
  // A sunken box: dark frame on a white face, as the classic check box.
  painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(0.5, 0.5, kSize - 1.0, kSize - 1.0));
  if (ticked) {
    QPainterPath tick;
    tick.moveTo(3.0, 6.5);
    tick.lineTo(5.5, 9.0);
    tick.lineTo(10.0, 3.5);
    QPen pen(Qt::black, 2.0);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawPath(tick);
  }
  return pixmap;
}
