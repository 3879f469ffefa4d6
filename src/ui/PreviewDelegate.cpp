#include "ui/PreviewDelegate.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QStringList>

#include "ui/PreviewModel.h"

namespace {

constexpr int kMargin = 3;
// A replacement that deletes is still shown, as a narrow bar.
constexpr int kEmptyMarkWidth = 2;

}  // namespace

TPreviewDelegate::TPreviewDelegate(bool after, QObject* parent) : QStyledItemDelegate(parent), after_(after) {}

QColor TPreviewDelegate::MarkColor(bool after) { return after ? QColor(0xC6, 0xEF, 0xC6) : QColor(0xFF, 0xD0, 0xD0); }

QSize TPreviewDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(std::max(size.height(), QFontMetrics(option.font).height() + 6));
  return size;
}

void TPreviewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QStringList parts = index.data(TPreviewModel::PartsRole).toStringList();
  if (parts.size() != 3) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  // The row's background and selection as the style draws them, without text.
  QStyleOptionViewItem panel = option;
  initStyleOption(&panel, index);
  panel.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &panel, painter, widget);

  const QRect rect = option.rect.adjusted(kMargin, 0, -kMargin, 0);
  if (rect.width() <= 0) return;
  QFont plainFont = option.font;
  QFont markFont = option.font;
  if (after_) {
    markFont.setBold(true);
  } else {
    markFont.setStrikeOut(true);
  }
  const QFontMetrics plain(plainFont);
  const QFontMetrics mark(markFont);

  // The change first, then what room is left shared between the text around it,
  // the text before cut at its start and the text after at its end.
  const int room = rect.width();
  const QString changed = mark.elidedText(parts[1], Qt::ElideRight, room);
  const int changedWidth = parts[1].isEmpty() ? kEmptyMarkWidth : mark.horizontalAdvance(changed);
  const int rest = std::max(0, room - changedWidth);
  const int prevWidth = plain.horizontalAdvance(parts[0]);
  const int nextWidth = plain.horizontalAdvance(parts[2]);
  int prevRoom = prevWidth;
  if (prevWidth + nextWidth > rest) prevRoom = std::min(prevWidth, std::max(rest / 2, rest - nextWidth));
  const QString prev = plain.elidedText(parts[0], Qt::ElideLeft, prevRoom);
  const QString next = plain.elidedText(parts[2], Qt::ElideRight, rest - plain.horizontalAdvance(prev));

  const bool selected = option.state & QStyle::State_Selected;
  const QColor text = option.palette.color(QPalette::Text);
  const QColor around = selected ? option.palette.color(QPalette::HighlightedText) : text;
  painter->save();
  painter->setClipRect(option.rect);
  int x = rect.left();
  const auto draw = [&](const QString& part, const QFont& font, const QColor& color, int width) {
    painter->setFont(font);
    painter->setPen(color);
    painter->drawText(QRect(x, rect.top(), width, rect.height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      part);
    x += width;
  };
  draw(prev, plainFont, around, plain.horizontalAdvance(prev));
  painter->fillRect(QRect(x, rect.top() + 1, changedWidth, rect.height() - 2), MarkColor(after_));
  draw(changed, markFont, text, changedWidth);
  draw(next, plainFont, around, std::max(0, rect.right() + 1 - x));
  painter->restore();
}
