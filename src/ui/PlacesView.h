#pragma once
// The result list's surface: one owner-drawn row per place of the core's place
// list (tick, hit centred in its context, file, line). Only the visible rows are
// drawn, through a cache of the last rendered range. The vertical scroll bar counts
// pixels, or rows when the list is too tall for an int of pixels, so a list of
// millions of places scrolls like a short one. A small focus holder takes the
// keyboard for the list; the current row is drawn in the selection colour with a
// focus rectangle while the list has the focus, and faintly without it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QAbstractScrollArea>
#include <QImage>

class QPainter;
class QWidget;
class TAbstractPlaceList;
class TCheckImages;
class TPlacesHeader;

class TPlacesView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // What the list shows, asked at every paint.
  struct TSource {
    std::function<TAbstractPlaceList*()> List;
    std::function<bool()> Narrow;  // the places hold raw bytes
    std::function<std::string()> DisplayBase;
    std::function<bool()> ShowLine;
  };

  TPlacesView(const TSource& source, const TPlacesHeader& header, QWidget* parent = nullptr);
  ~TPlacesView() override;

  // The font of the hit and its context (the replacement box's), and of the file
  // and line columns.
  void SetFonts(const QFont& hitFont, const QFont& listFont);

  int RowHeight() const { return rowHeight_; }
  int CurrentRow() const { return currentRow_; }
  bool ListFocused() const { return focused_; }
  // Places in the list, 0 without one.
  int Count() const;
  // Row count x row height, the height of the whole list.
  std::int64_t SurfaceHeight() const { return static_cast<std::int64_t>(rows_) * rowHeight_; }
  // Pixels of the list above the visible part.
  std::int64_t ScrollPosition() const;
  void SetScrollPosition(std::int64_t pixels);
  // Scrolls by whole wheel notches, 16 pixels each (up is negative).
  void WheelScroll(int notchesUp);
  // Notches up (positive) or down of a wheel event.
  static int Notches(const QWheelEvent& event);

  // Takes the row count from the list, resizes the scroll range and keeps the
  // current row inside the list; dropCache when the rows may look different.
  void Refresh(bool dropCache);
  void DropCache();
  // Clamped to the list; repaints the rows that change their focus mark and
  // scrolls the row into view.
  void SetCurrentRow(int row);
  // Inverts the tick of a row of the list; other rows, and every row while ticks
  // are disabled, do nothing.
  void ToggleCheck(int row);
  void UpdateRow(int row);
  // Whether clicks on a tick box and Space change ticks (not while a run reads them).
  void SetTicksEnabled(bool enabled) { ticksEnabled_ = enabled; }
  bool TicksEnabled() const { return ticksEnabled_; }
  // The full path of the place under a point of the viewport's file column, for its
  // tooltip; "" elsewhere.
  QString ToolTipAt(const QPoint& point) const;

  // Rows [first, end) as this view draws them, width pixels wide, for the cache and
  // for checks by eye.
  QImage RenderRows(int first, int end, int width, qreal devicePixelRatio) const;
  // The tick box of a row in surface coordinates (x, and y from the row's top).
  QRect CheckBoxInRow() const;
  // How often rows were rendered (each cache fill counts once).
  int RenderCount() const { return renderCount_; }

  QWidget* edtPlacesDummy = nullptr;

 signals:
  void DoubleClicked();
  void ContextMenuAt(const QPoint& globalPos);
  // The user ticked or unticked a place.
  void TicksChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void UpdateScrollRange();
  // Handles a key of the focus holder; false for keys the list does not use.
  bool HandleKey(int key);
  // Row at a y of the viewport; may lie outside the list.
  std::int64_t RowAt(int y) const;
  // The rows' rectangle in viewport coordinates.
  QRect RowRect(int row) const;
  QRect FocusRect(int row) const;
  // The current row's mark over the cached rows.
  void DrawCurrentRow(QPainter& painter) const;

  TSource source_;
  const TPlacesHeader& header_;
  QFont hitFont_;
  QFont contextFont_;
  QFont listFont_;
  int rowHeight_ = 16;
  int rows_ = 0;  // the row count at the last refresh
  int unit_ = 1;  // pixels per scroll bar step: 1, or the row height
  int currentRow_ = 0;
  bool focused_ = false;
  bool ticksEnabled_ = true;
  mutable std::unique_ptr<TCheckImages> checkImages_;  // drawn for the last pixel ratio
  mutable int renderCount_ = 0;

  QImage cache_;  // rows [cacheFirst_, cacheEnd_) as rendered
  int cacheFirst_ = 0;
  int cacheEnd_ = -1;
  int cacheWidth_ = 0;
};
