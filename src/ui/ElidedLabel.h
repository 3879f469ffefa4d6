#pragma once
// A one-line label for a status bar: a text longer than the room is cut with "…"
// at a character boundary rather than clipped mid-character, and shown whole as a
// tooltip. It never widens its window; text() stays the whole text.

#include <QLabel>

class TElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TElidedLabel(QWidget* parent = nullptr);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;
  // The text as painted in the current width.
  QString ShownText() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};
