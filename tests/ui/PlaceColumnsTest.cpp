#include <gtest/gtest.h>

#include "ui/PlaceColumns.h"

namespace {

std::vector<int> Lefts(const TPlaceColumns& c) { return {c[0].Left, c[1].Left, c[2].Left, c[3].Left}; }
std::vector<int> Widths(const TPlaceColumns& c) { return {c[0].Width, c[1].Width, c[2].Width, c[3].Width}; }

}  // namespace

TEST(PlaceColumns, DesignedColumnsAndTheGapThatAPressDrags) {
  const TPlaceColumns columns;
  EXPECT_EQ(Lefts(columns), (std::vector<int>{0, 53, 380, 509}));
  EXPECT_EQ(Widths(columns), (std::vector<int>{49, 323, 125, 49}));
  EXPECT_EQ(columns.DragColumnAt(50), 0);   // gap after the tick column
  EXPECT_EQ(columns.DragColumnAt(53), 0);   // the neighbour's left edge itself
  EXPECT_EQ(columns.DragColumnAt(378), 1);  // gap after the position column
  EXPECT_EQ(columns.DragColumnAt(507), 2);
  EXPECT_EQ(columns.DragColumnAt(520), -1);  // right of the last gap
}

TEST(PlaceColumns, DragStopsWhereEitherSideWouldFallBelow32) {
  TPlaceColumns columns;
  EXPECT_TRUE(columns.Drag(0, -17));  // tick column down to exactly 32
  EXPECT_EQ(Widths(columns), (std::vector<int>{32, 340, 125, 49}));
  EXPECT_EQ(Lefts(columns), (std::vector<int>{0, 36, 380, 509}));
  EXPECT_FALSE(columns.Drag(0, -1));
  EXPECT_FALSE(columns.Drag(2, 18));  // the line column would be 31
  EXPECT_FALSE(columns.Drag(1, 94));  // the file column would be 31
  EXPECT_EQ(Widths(columns), (std::vector<int>{32, 340, 125, 49}));
  EXPECT_TRUE(columns.Drag(2, 17));
  EXPECT_EQ(Widths(columns), (std::vector<int>{32, 340, 142, 32}));
  EXPECT_EQ(Lefts(columns), (std::vector<int>{0, 36, 380, 526}));
  EXPECT_FALSE(columns.Drag(3, 1));  // the last column has no right neighbour
}

TEST(PlaceColumns, ResizeSharesSlackWithTheFileColumnAndTakesShortageInOrder) {
  TPlaceColumns columns;
  columns.Fit(658);  // 100 pixels wider: a third to the file column, the rest to the position
  EXPECT_EQ(Widths(columns), (std::vector<int>{49, 390, 158, 49}));
  EXPECT_EQ(Lefts(columns), (std::vector<int>{0, 53, 447, 609}));

  columns.Fit(200);  // the file column down to 32, the position column takes the rest
  EXPECT_EQ(Widths(columns), (std::vector<int>{49, 58, 32, 49}));
  EXPECT_EQ(columns[3].Right(), 200);

  columns.Fit(100);  // position to 32, then 17 from the tick column, 17 from the line column
  EXPECT_EQ(Widths(columns), (std::vector<int>{32, 32, 32, 32}));

  columns.Fit(558);  // growing again
  EXPECT_EQ(Widths(columns), (std::vector<int>{32, 311, 171, 32}));
  EXPECT_EQ(columns[3].Right(), 558);
}

TEST(PlaceColumns, StoredWidthsAreTakenAtLeastAtTheMinimum) {
  TPlaceColumns columns;
  columns.SetWidths({40, 300, 200, 10});
  EXPECT_EQ(Widths(columns), (std::vector<int>{40, 300, 200, 32}));
  EXPECT_EQ(Lefts(columns), (std::vector<int>{0, 44, 348, 552}));
}
