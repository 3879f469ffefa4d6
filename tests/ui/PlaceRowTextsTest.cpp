#include <gtest/gtest.h>

#include "place/AbstractPlace.h"
#include "ui/PlaceRowTexts.h"

namespace {

class TFakePlace : public TAbstractPlace {
 public:
  TFakePlace(std::string prev, std::string text, std::string next)
      : prev_(std::move(prev)), text_(std::move(text)), next_(std::move(next)) {}
  std::string GetText() const override { return text_; }
  std::string GetPrevText() const override { return prev_; }
  std::string GetNextText() const override { return next_; }

 private:
  std::string prev_, text_, next_;
};

}  // namespace

TEST(PlaceRowTexts, LineFeedsMarkedContextCutAtTheHitsLineFileRelative) {
  TFakePlace place("前の行\n同じ\t行の前", "ヒ\nット", "後ろ\tの文\n次の行");
  place.SetFileName("/work/tree/sub/a.txt");
  place.Line = 41;
  const TPlaceRowTexts row = TPlaceRowTexts::Make(place, false, "/work/tree", true);
  EXPECT_EQ(row.Hit, "ヒ↓ ット");
  EXPECT_EQ(row.Prev, "同じ 行の前");
  EXPECT_EQ(row.Next, "後ろ の文");
  EXPECT_EQ(row.Line, "42");
  EXPECT_EQ(TPlaceRowTexts::Make(place, false, "/work/tree/", false).Line, "");
  EXPECT_EQ(TPlaceRowTexts::Make(place, false, "", true).File, "/work/tree/sub/a.txt");
}

// Needs the path shortening against the display base.
TEST(PlaceRowTexts, FileIsShownRelativeToTheDisplayBase) {
  TFakePlace place("", "hit", "");
  place.SetFileName("/work/tree/sub/a.txt");
  EXPECT_EQ(TPlaceRowTexts::Make(place, false, "/work/tree", true).File, "sub/a.txt");
  EXPECT_EQ(TPlaceRowTexts::Make(place, false, "/work/tree/", true).File, "sub/a.txt");
  EXPECT_EQ(TPlaceRowTexts::Make(place, false, "/work/tree/sub/a.txt/longer", true).File, "/work/tree/sub/a.txt");
}

TEST(PlaceRowTexts, NarrowContextCutInsideAUtf8CharacterStaysUtf8) {
  const std::string a = "あいう";  // three bytes each
  EXPECT_EQ(TPlaceRowTexts::DisplayNarrow(a.substr(1)), "いう");
  EXPECT_EQ(TPlaceRowTexts::DisplayNarrow(a.substr(0, 7)), "あい");
  EXPECT_EQ(TPlaceRowTexts::DisplayNarrow(a.substr(2, 5)), "い");
  EXPECT_EQ(TPlaceRowTexts::DisplayNarrow("plain"), "plain");

  TFakePlace place(a.substr(1) + "\tx", "hit", "y" + a.substr(0, 4));
  const TPlaceRowTexts row = TPlaceRowTexts::Make(place, true, "", false);
  EXPECT_EQ(row.Prev, "いう x");
  EXPECT_EQ(row.Next, "yあ");
}
