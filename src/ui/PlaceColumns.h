#pragma once
// The four columns of the result list (tick, position, file, line): where each lies
// in the header, how dragging a gap and resizing the window move them. No widgets.

#include <array>

struct TPlaceColumn {
  int Left = 0;
  int Width = 0;
  int Right() const { return Left + Width; }
};

class TPlaceColumns {
 public:
  enum : int { Check = 0, Pos = 1, File = 2, Line = 3 };
  static constexpr int kCount = 4;
  static constexpr int kMinWidth = 32;  // no column gets narrower by a drag or a resize
  static constexpr int kGap = 4;        // the draggable gap between two columns

  // The designed columns: 49, 323, 125 and 49 pixels wide, 4-pixel gaps.
  TPlaceColumns();

  const TPlaceColumn& operator[](int index) const { return Columns[static_cast<std::size_t>(index)]; }

  // The column whose right edge a press at x in the header drags: the first one
  // whose right neighbour starts at or right of x; -1 right of the last gap.
  int DragColumnAt(int x) const;
  // Widens column by d and narrows its right neighbour by as much; refused (false)
  // when either would become narrower than kMinWidth.
  bool Drag(int column, int d);
  // Fits the columns to a header width: the file column takes a third of the
  // change (down to kMinWidth), the position column the rest; when that would fall
  // below kMinWidth the rest of the shortage comes from the tick, file and line
  // columns in that order, each down to kMinWidth.
  void Fit(int headerWidth);
  // Takes widths as stored (each at least kMinWidth); the header fits them to its
  // width at its next resize.
  void SetWidths(const std::array<int, kCount>& widths);

  std::array<TPlaceColumn, kCount> Columns;

 private:
  // Lefts from the widths, one gap apart.
  void PlaceFromWidths();
};
