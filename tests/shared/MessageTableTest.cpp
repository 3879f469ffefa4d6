#include <gtest/gtest.h>

#include <string>

#include "shared/MessageTable.h"

TEST(MessageTable, SharedRowsAndSpecialCharacters) {
  EXPECT_STREQ(MessageTable(2), MessageTable(16));
  EXPECT_STREQ(MessageTable(24), MessageTable(87));
  EXPECT_STREQ(MessageTable(94), MessageTable(102));
  EXPECT_STREQ(MessageTable(71), "\\n、\\tなどを使う(&N)");
  for (int row : {46, 48, 49, 50, 51, 52})
    EXPECT_NE(std::string(MessageTable(row)).find('\n'), std::string::npos) << row;
  EXPECT_STREQ(MessageTable(37), "検索文字列が間違っています。");
  EXPECT_STREQ(MessageTable(32), "↓ ");
  EXPECT_STREQ(MessageTable(61), "リストでチェックされている全ての\n\"%s\"を\"%s\"で\n置き換えます。よろしいですか？");
  EXPECT_STREQ(MessageTable(MessageTableSize), "");
  EXPECT_STREQ(MessageTable(-1), "");
  const std::string row3 = MessageTable(3);
  EXPECT_EQ(row3.substr(row3.size() - std::string(MessageTable(93)).size()), MessageTable(93));
}

TEST(MessageTable, UndoRowsFollowTheDesignedTable) {
  EXPECT_STREQ(MessageTable(110), "複数行入力");
  for (int row = 112; row < MessageTableSize; ++row) EXPECT_STRNE(MessageTable(row), "") << row;
  // The rows filled in with boost::format hold exactly one placeholder.
  const auto count = [](int row, const std::string& mark) {
    const std::string text = MessageTable(row);
    std::size_t n = 0;
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) ++n;
    return n;
  };
  for (int row : {122, 139}) EXPECT_EQ(count(row, "%s"), 1u) << row;
  for (int row : {133, 134, 135, 136, 142}) EXPECT_EQ(count(row, "%d"), 1u) << row;
}
