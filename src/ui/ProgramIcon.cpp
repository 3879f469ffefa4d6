#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace hovrak {

QImage ProgramIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Everything is laid out on a 64-unit grid and scaled; the line width has a floor
  // of one pixel so the small sizes keep their outlines.
  const qreal s = size / 64.0;
  const qreal line = qMax<qreal>(1.0, 2.0 * s);

  // The page with a folded corner.
  QPainterPath page;
  page.moveTo(8 * s, 4 * s);
  page.lineTo(36 * s, 4 * s);
  page.lineTo(48 * s, 16 * s);
  page.lineTo(48 * s, 60 * s);
  page.lineTo(8 * s, 60 * s);
  page.closeSubpath();
  p.setPen(QPen(QColor(70, 80, 100), line));
  p.setBrush(QColor(250, 250, 252));
  p.drawPath(page);
  QPainterPath fold;
  fold.moveTo(36 * s, 4 * s);
  fold.lineTo(36 * s, 16 * s);
  fold.lineTo(48 * s, 16 * s);
  p.setBrush(QColor(215, 220, 230));
  p.drawPath(fold);

  // Lines of text; one of them marked as a hit.
  p.setPen(Qt::NoPen);
  const qreal rows[] = {22, 29, 36, 43, 50};
  for (int i = 0; i < 5; ++i) {
    const qreal right = (i == 0) ? 32 : (i % 2 ? 42 : 38);
    p.setBrush(i == 2 ? QColor(230, 120, 30) : QColor(120, 130, 150));
    p.drawRect(QRectF(13 * s, rows[i] * s, (right - 13) * s, qMax<qreal>(1.0, 3 * s)));
  }

  // The magnifying glass over the lower right.
  const QPointF centre(40 * s, 40 * s);
  const qreal radius = 13 * s;
  QPen handle(QColor(60, 45, 35), qMax<qreal>(2.0, 7 * s), Qt::SolidLine, Qt::RoundCap);
  p.setPen(handle);
  p.drawLine(QPointF(50 * s, 50 * s), QPointF(60 * s, 60 * s));
  p.setPen(QPen(QColor(40, 70, 140), qMax<qreal>(1.5, 4 * s)));
  p.setBrush(QColor(150, 200, 255, 110));
  p.drawEllipse(centre, radius, radius);
  if (size >= 32) {
    // A glint on the lens.
    p.setPen(QPen(QColor(255, 255, 255, 200), qMax<qreal>(1.0, 2 * s), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - radius * 0.65, centre.y() - radius * 0.65, radius * 1.3, radius * 1.3), 100 * 16,
              60 * 16);
  }
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
  return icon;
}

}  // namespace hovrak
