#include <gtest/gtest.h>

#include <string>

#include "settings/History.h"

using hovrak::AddToHistory;

TEST(HistoryTest, NewestFirstWithoutDuplicates) {
  TStringVector history;
  AddToHistory(history, "a");
  AddToHistory(history, "b");
  AddToHistory(history, "");
  EXPECT_EQ(history, (TStringVector{"", "b", "a"}));
  AddToHistory(history, "a");
  EXPECT_EQ(history, (TStringVector{"a", "", "b"}));
  AddToHistory(history, "A");
  EXPECT_EQ(history, (TStringVector{"A", "a", "", "b"})) << "case matters";
}

TEST(HistoryTest, LineBreaksAreRemoved) {
  TStringVector history{"ab"};
  EXPECT_EQ(AddToHistory(history, "a\r\nb"), "ab");
  EXPECT_EQ(history, (TStringVector{"ab"}));
  EXPECT_EQ(AddToHistory(history, "\n"), "");
  EXPECT_EQ(history, (TStringVector{"", "ab"}));
}

TEST(HistoryTest, AtMostFiftyEntries) {
  TStringVector history;
  for (int i = 1; i <= 50; ++i) AddToHistory(history, std::to_string(i));
  ASSERT_EQ(history.size(), 50u);
  // Re-using an old entry moves it without growing the list.
  AddToHistory(history, "1");
  EXPECT_EQ(history.size(), 50u);
  EXPECT_EQ(history.front(), "1");
  EXPECT_EQ(history.back(), "2");
  // The 51st distinct entry pushes the oldest out.
  AddToHistory(history, "51");
  EXPECT_EQ(history.size(), 50u);
  EXPECT_EQ(history.front(), "51");
  EXPECT_EQ(history.back(), "3");

  // A longer list loaded from a hand-edited file is cut back to fifty.
  TStringVector loaded(70, "x");
  for (std::size_t i = 0; i < loaded.size(); ++i) loaded[i] = "old" + std::to_string(i);
  AddToHistory(loaded, "new");
  EXPECT_EQ(loaded.size(), 50u);
  EXPECT_EQ(loaded.front(), "new");
  EXPECT_EQ(loaded.back(), "old48");
}
