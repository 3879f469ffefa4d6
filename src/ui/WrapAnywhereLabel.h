#pragma once
// A label that wraps its plain text at any character when a line is full, so a long
// path without blanks is shown on several lines inside a fixed width, never cut.

#include <QLabel>

class TWrapAnywhereLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TWrapAnywhereLabel(QWidget* parent = nullptr);

  // Height of the text wrapped to the given width.
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
