#include "ui/WrapAnywhereLabel.h"

#include <QPainter>

namespace {

constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;

}  // namespace

TWrapAnywhereLabel::TWrapAnywhereLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

int TWrapAnywhereLabel::heightForWidth(int width) const {
  const QMargins m = contentsMargins();
  const QRect bound = fontMetrics().boundingRect(QRect(0, 0, width - m.left() - m.right(), 1 << 20), kFlags, text());
  return bound.height() + m.top() + m.bottom();
}

void TWrapAnywhereLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(contentsRect(), kFlags, text());
}
