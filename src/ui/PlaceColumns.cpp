#include "ui/PlaceColumns.h"

#include <algorithm>

TPlaceColumns::TPlaceColumns() {
  Columns[Check].Width = 49;
  Columns[Pos].Width = 323;
  Columns[File].Width = 125;
  Columns[Line].Width = 49;
  PlaceFromWidths();
}

int TPlaceColumns::DragColumnAt(int x) const {
  for (int i = 0; i < kCount - 1; ++i) {
    if ((*this)[i + 1].Left >= x) return i;
  }
  return -1;
}

bool TPlaceColumns::Drag(int column, int d) {
  if (column < 0 || column >= kCount - 1) return false;
  TPlaceColumn& left = Columns[static_cast<std::size_t>(column)];
  TPlaceColumn& right = Columns[static_cast<std::size_t>(column + 1)];
  if (left.Width + d < kMinWidth || right.Width - d < kMinWidth) return false;
  left.Width += d;
  right.Left += d;
  right.Width -= d;
  return true;
}

void TPlaceColumns::Fit(int headerWidth) {
  int slack = headerWidth - Columns[Line].Right();
  // Names are often longer than the designed column: it grows with the window too.
  int fileShare = slack / 3;
  if (Columns[File].Width + fileShare < kMinWidth) fileShare = std::min(0, kMinWidth - Columns[File].Width);
  Columns[File].Width += fileShare;
  slack -= fileShare;
  if (Columns[Pos].Width + slack >= kMinWidth) {
    Columns[Pos].Width += slack;
  } else {
    int shortage = kMinWidth - (Columns[Pos].Width + slack);
    Columns[Pos].Width = kMinWidth;
    for (const int i : {Check, File, Line}) {
      TPlaceColumn& column = Columns[static_cast<std::size_t>(i)];
      const int given = std::max(0, std::min(shortage, column.Width - kMinWidth));
      column.Width -= given;
      shortage -= given;
    }
  }
  PlaceFromWidths();
}

void TPlaceColumns::SetWidths(const std::array<int, kCount>& widths) {
  for (int i = 0; i < kCount; ++i)
    Columns[static_cast<std::size_t>(i)].Width = std::max(kMinWidth, widths[static_cast<std::size_t>(i)]);
  PlaceFromWidths();
}

void TPlaceColumns::PlaceFromWidths() {
  int left = 0;
  for (TPlaceColumn& column : Columns) {
    column.Left = left;
    left += column.Width + kGap;
  }
}
