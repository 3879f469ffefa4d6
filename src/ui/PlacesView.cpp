#include "ui/PlacesView.h"

#include <algorithm>
#include <climits>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include "place/AbstractPlaceList.h"
#include "ui/CheckImages.h"
#include "ui/PlaceRowTexts.h"
#include "ui/PlacesHeader.h"
#include "ui/UiText.h"

namespace {

constexpr int kWheelStep = 16;  // pixels per wheel notch

int ClampToInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

// Draws text single-line, vertically centred in the row, clipped to [left, right).
void DrawClipped(QPainter& painter, const QRect& textRect, int clipLeft, int clipRight, int flags,
                 const QString& text) {
  if (clipRight <= clipLeft || text.isEmpty()) return;
  painter.save();
  painter.setClipRect(QRect(clipLeft, textRect.top(), clipRight - clipLeft, textRect.height()));
  painter.drawText(textRect, flags | Qt::AlignVCenter | Qt::TextSingleLine, text);
  painter.restore();
}

}  // namespace

TPlacesView::TPlacesView(const TSource& source, const TPlacesHeader& header, QWidget* parent)
    : QAbstractScrollArea(parent), source_(source), header_(header) {
  setObjectName(QStringLiteral("scbPlaces"));
  viewport()->setObjectName(QStringLiteral("pbxPlaces"));
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFrameShape(QFrame::NoFrame);

  // The focus holder sits under the surface: it takes the keyboard for the list
  // and is never seen.
  edtPlacesDummy = new QWidget(this);
  edtPlacesDummy->setObjectName(QStringLiteral("edtPlacesDummy"));
  edtPlacesDummy->setFocusPolicy(Qt::StrongFocus);
  edtPlacesDummy->setAttribute(Qt::WA_InputMethodEnabled, false);
  edtPlacesDummy->setGeometry(0, 0, 1, 1);
  edtPlacesDummy->lower();
  edtPlacesDummy->installEventFilter(this);
  setFocusProxy(edtPlacesDummy);
  viewport()->setFocusProxy(edtPlacesDummy);

  SetFonts(font(), font());
}

TPlacesView::~TPlacesView() = default;

void TPlacesView::SetFonts(const QFont& hitFont, const QFont& listFont) {
  contextFont_ = hitFont;
  contextFont_.setBold(false);
  hitFont_ = hitFont;
  hitFont_.setBold(true);
  listFont_ = listFont;
  // The height of "あ" plus 4; the taller of the two fonts, so neither is cut.
  const QString sample = QStringLiteral("あ");
  rowHeight_ = std::max(QFontMetrics(listFont_).size(Qt::TextSingleLine, sample).height(),
                        QFontMetrics(hitFont_).size(Qt::TextSingleLine, sample).height()) +
               4;
  DropCache();
  UpdateScrollRange();
}

int TPlacesView::Count() const {
  const TAbstractPlaceList* list = source_.List();
  return list ? list->Count() : 0;
}

std::int64_t TPlacesView::ScrollPosition() const {
  return static_cast<std::int64_t>(verticalScrollBar()->value()) * unit_;
}

void TPlacesView::SetScrollPosition(std::int64_t pixels) {
  pixels = std::max<std::int64_t>(pixels, 0);
  // In rows, round up so that a row scrolled to from below is whole.
  verticalScrollBar()->setValue(ClampToInt((pixels + unit_ - 1) / unit_));
}

void TPlacesView::WheelScroll(int notchesUp) {
  if (notchesUp == 0) return;
  if (unit_ == 1) {
    SetScrollPosition(ScrollPosition() - static_cast<std::int64_t>(kWheelStep) * notchesUp);
  } else {
    verticalScrollBar()->setValue(verticalScrollBar()->value() - notchesUp);
  }
}

int TPlacesView::Notches(const QWheelEvent& event) {
  // A fine-grained wheel sends parts of a notch: each counts as one.
  const int delta = event.angleDelta().y();
  const int notches = delta / 120;
  if (notches == 0 && delta != 0) return delta > 0 ? 1 : -1;
  return notches;
}

void TPlacesView::UpdateScrollRange() {
  QScrollBar* bar = verticalScrollBar();
  const std::int64_t position = ScrollPosition();
  const std::int64_t total = SurfaceHeight();
  const int client = viewport()->height();
  if (total <= INT_MAX) {
    unit_ = 1;
    bar->setRange(0, ClampToInt(std::max<std::int64_t>(total - client, 0)));
    bar->setPageStep(std::max(client, 1));
    bar->setSingleStep(rowHeight_);
  } else {
    // Too tall for pixels in an int: the bar counts rows.
    unit_ = rowHeight_;
    const int visibleRows = std::max(client / rowHeight_, 1);
    bar->setRange(0, std::max(rows_ - visibleRows, 0));
    bar->setPageStep(visibleRows);
    bar->setSingleStep(1);
  }
  SetScrollPosition(position);
}

void TPlacesView::Refresh(bool dropCache) {
  if (dropCache) DropCache();
  rows_ = Count();
  UpdateScrollRange();
  if (currentRow_ >= rows_ && currentRow_ != 0) currentRow_ = std::max(rows_ - 1, 0);
  viewport()->update();
}

void TPlacesView::DropCache() { cacheEnd_ = -1; }

void TPlacesView::SetCurrentRow(int row) {
  row = std::clamp(row, 0, std::max(rows_ - 1, 0));
  if (row != currentRow_) {
    const int previous = currentRow_;
    currentRow_ = row;
    UpdateRow(previous);
    UpdateRow(row);
  }
  const std::int64_t top = static_cast<std::int64_t>(row) * rowHeight_;
  const std::int64_t position = ScrollPosition();
  const int client = viewport()->height();
  if (top < position) {
    SetScrollPosition(top);
  } else if (top + rowHeight_ > position + client) {
    SetScrollPosition(top + rowHeight_ - client);
  }
}

void TPlacesView::ToggleCheck(int row) {
  TAbstractPlaceList* list = source_.List();
  if (!ticksEnabled_ || !list || row < 0 || row >= list->Count()) return;
  TAbstractPlace* place = list->Item(row);
  place->Checked = !place->Checked;
  DropCache();
  emit TicksChanged();
}

QRect TPlacesView::RowRect(int row) const {
  const std::int64_t top = static_cast<std::int64_t>(row) * rowHeight_ - ScrollPosition();
  if (top + rowHeight_ <= 0 || top >= viewport()->height()) return QRect();
  return QRect(0, static_cast<int>(top), viewport()->width(), rowHeight_);
}

void TPlacesView::UpdateRow(int row) {
  const QRect rect = RowRect(row);
  if (!rect.isEmpty()) viewport()->update(rect);
}

QRect TPlacesView::FocusRect(int row) const { return RowRect(row); }

QRect TPlacesView::CheckBoxInRow() const {
  const TPlaceColumn& column = header_.Columns()[TPlaceColumns::Check];
  const int side = TCheckImages::kSize;
  return QRect(column.Left + (column.Width - side) / 2, (rowHeight_ - side) / 2, side, side);
}

QImage TPlacesView::RenderRows(int first, int end, int width, qreal devicePixelRatio) const {
  ++renderCount_;
  const int height = std::max(end - first, 0) * rowHeight_;
  QImage image(qMax(1, qRound(width * devicePixelRatio)), qMax(1, qRound(height * devicePixelRatio)),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(palette().color(QPalette::Base));
  const TAbstractPlaceList* list = source_.List();
  if (!list || end <= first) return image;

  if (!checkImages_ || checkImages_->DevicePixelRatio() != devicePixelRatio) {
    checkImages_ = std::make_unique<TCheckImages>(devicePixelRatio);
  }
  const bool narrow = source_.Narrow();
  const std::string base = source_.DisplayBase();
  const bool showLine = source_.ShowLine();
  const TPlaceColumns& columns = header_.Columns();
  const TPlaceColumn& pos = columns[TPlaceColumns::Pos];
  const TPlaceColumn& file = columns[TPlaceColumns::File];
  const TPlaceColumn& line = columns[TPlaceColumns::Line];
  const QFontMetrics hitMetrics(hitFont_);
  const QFontMetrics listMetrics(listFont_);
  const QRect box = CheckBoxInRow();

  QPainter painter(&image);
  painter.setPen(palette().color(QPalette::Text));
  for (int i = first; i < end; ++i) {
    const TAbstractPlace& place = *list->Item(i);
    const TPlaceRowTexts texts = TPlaceRowTexts::Make(place, narrow, base, showLine);
    const int top = (i - first) * rowHeight_;

    // The hit, bold, centred in the position column.
    const QString hit = hovrak::FromNarrow(texts.Hit);
    painter.setFont(hitFont_);
    const int hitWidth = hitMetrics.horizontalAdvance(hit);
    const int hitLeft = pos.Left + (pos.Width - hitWidth) / 2;
    DrawClipped(painter, QRect(hitLeft, top, std::max(hitWidth, 1), rowHeight_), std::max(hitLeft, pos.Left),
                std::min(hitLeft + hitWidth, pos.Right()), Qt::AlignLeft, hit);
    // Its context on either side when there is room.
    if (hitWidth < pos.Width) {
      painter.setFont(contextFont_);
      DrawClipped(painter, QRect(pos.Left, top, hitLeft - pos.Left, rowHeight_), pos.Left, hitLeft, Qt::AlignRight,
                  hovrak::FromNarrow(texts.Prev));
      const int nextLeft = hitLeft + hitWidth;
      DrawClipped(painter, QRect(nextLeft, top, pos.Right() - nextLeft, rowHeight_), nextLeft, pos.Right(),
                  Qt::AlignLeft, hovrak::FromNarrow(texts.Next));
    }

    painter.setFont(listFont_);
    // A long name loses its start, where the folders are, at a character boundary.
    DrawClipped(painter, QRect(file.Left, top, file.Width, rowHeight_), file.Left, file.Right(), Qt::AlignLeft,
                listMetrics.elidedText(hovrak::FromNarrow(texts.File), Qt::ElideLeft, file.Width));
    DrawClipped(painter, QRect(line.Left, top, line.Width, rowHeight_), line.Left, line.Right(), Qt::AlignLeft,
                hovrak::FromNarrow(texts.Line));

    painter.drawPixmap(box.topLeft() + QPoint(0, top), checkImages_->Image(place.Checked));
  }
  return image;
}

void TPlacesView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect clip = event->rect();
  painter.fillRect(clip, palette().color(QPalette::Base));
  const std::int64_t position = ScrollPosition();
  std::int64_t first = (position + clip.top()) / rowHeight_;
  std::int64_t end = (position + clip.bottom()) / rowHeight_ + 1;
  const int count = Count();
  end = std::min<std::int64_t>(end, count);
  first = std::min(first, end);
  if (first < end) {
    if (cacheFirst_ != first || cacheEnd_ != end || cacheWidth_ != viewport()->width() ||
        cache_.devicePixelRatio() != viewport()->devicePixelRatioF()) {
      cache_ = RenderRows(static_cast<int>(first), static_cast<int>(end), viewport()->width(),
                          viewport()->devicePixelRatioF());
      cacheFirst_ = static_cast<int>(first);
      cacheEnd_ = static_cast<int>(end);
      cacheWidth_ = viewport()->width();
    }
    painter.drawImage(QPoint(0, static_cast<int>(first * rowHeight_ - position)), cache_);
  }
  if (currentRow_ >= first && currentRow_ < end) DrawCurrentRow(painter);
}

void TPlacesView::DrawCurrentRow(QPainter& painter) const {
  // Drawn here rather than by the style: some styles draw a focus rectangle only
  // after a key moved the focus, which left the row a click made current unseen.
  const QRect rect = FocusRect(currentRow_);
  if (rect.isEmpty()) return;
  QColor selection = palette().color(focused_ ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
  // Translucent, so the row's own texts keep their colours.
  selection.setAlpha(focused_ ? 96 : 40);
  painter.fillRect(rect, selection);
  if (!focused_) return;
  QPen pen(palette().color(QPalette::Text));
  pen.setStyle(Qt::DotLine);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

QString TPlacesView::ToolTipAt(const QPoint& point) const {
  const TPlaceColumn& file = header_.Columns()[TPlaceColumns::File];
  if (point.x() < file.Left || point.x() >= file.Right()) return QString();
  const std::int64_t row = RowAt(point.y());
  const TAbstractPlaceList* list = source_.List();
  if (!list || row < 0 || row >= list->Count()) return QString();
  return hovrak::FromNarrow(list->Item(static_cast<int>(row))->FileName());
}

bool TPlacesView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), text, viewport());
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TPlacesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  DropCache();
  UpdateScrollRange();
}

void TPlacesView::scrollContentsBy(int, int dy) {
  const std::int64_t pixels = static_cast<std::int64_t>(dy) * unit_;
  if (pixels != 0 && std::abs(pixels) < viewport()->height()) {
    viewport()->scroll(0, static_cast<int>(pixels));
  } else {
    viewport()->update();
  }
}

std::int64_t TPlacesView::RowAt(int y) const { return (ScrollPosition() + y) / rowHeight_; }

void TPlacesView::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  const std::int64_t row = RowAt(point.y());
  SetCurrentRow(ClampToInt(row));
  edtPlacesDummy->setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton && row < Count()) {
    const int top = static_cast<int>(row * rowHeight_ - ScrollPosition());
    if (CheckBoxInRow().translated(0, top).contains(point)) {
      ToggleCheck(static_cast<int>(row));
      UpdateRow(static_cast<int>(row));
    }
  }
}

void TPlacesView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) emit ContextMenuAt(event->globalPosition().toPoint());
}

void TPlacesView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DoubleClicked();
}

void TPlacesView::wheelEvent(QWheelEvent* event) {
  WheelScroll(Notches(*event));
  event->accept();
}

bool TPlacesView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtPlacesDummy) {
    switch (event->type()) {
      case QEvent::KeyPress:
        if (HandleKey(static_cast<QKeyEvent*>(event)->key())) return true;
        break;
      case QEvent::FocusIn:
        focused_ = true;
        UpdateRow(currentRow_);
        break;
      case QEvent::FocusOut:
        focused_ = false;
        UpdateRow(currentRow_);
        break;
      default: break;
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

bool TPlacesView::HandleKey(int key) {
  const int pageRows = std::max(viewport()->height() / rowHeight_, 1);
  switch (key) {
    case Qt::Key_Space:
      ToggleCheck(currentRow_);
      UpdateRow(currentRow_);
      return true;
    case Qt::Key_Up: SetCurrentRow(currentRow_ - 1); return true;
    case Qt::Key_Down: SetCurrentRow(currentRow_ + 1); return true;
    case Qt::Key_PageUp: SetCurrentRow(currentRow_ - pageRows); return true;
    case Qt::Key_PageDown: SetCurrentRow(currentRow_ + pageRows); return true;
    case Qt::Key_Home: SetCurrentRow(0); return true;
    case Qt::Key_End: SetCurrentRow(Count() - 1); return true;
    default: return false;
  }
}
