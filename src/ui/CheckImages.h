#pragma once
// The two 13 x 13 tick images of the result list (an empty box and a ticked box),
// drawn by us at the screen's pixel ratio so they stay sharp at high DPI.

#include <QPixmap>

class TCheckImages {
 public:
  static constexpr int kSize = 13;  // in device-independent pixels

  // Draws both images for the given device pixel ratio.
  explicit TCheckImages(qreal devicePixelRatio = 1.0);

  const QPixmap& Image(bool ticked) const { return ticked ? ticked_ : unticked_; }
  qreal DevicePixelRatio() const { return ratio_; }

 private:
  static QPixmap Draw(bool ticked, qreal ratio);

  qreal ratio_;
  QPixmap unticked_;
  QPixmap ticked_;
};
