#include <gtest/gtest.h>

#include <map>
#include <string>

#include "shared/MessageTable.h"
#include "shared/MessageText.h"

TEST(MessageTable, SharedRowsAndSpecialCharacters) {
  EXPECT_STREQ(MessageTable(TMsg::MenuOptions), MessageTable(TMsg::OptionsButton));
  EXPECT_STREQ(MessageTable(TMsg::ColumnFile), MessageTable(TMsg::CsvFileName));
  EXPECT_STREQ(MessageTable(TMsg::CopyButton), MessageTable(TMsg::MenuCopy));
  EXPECT_STREQ(MessageTable(TMsg::UseEscapes), "\\n、\\tなどを使う(&N)");
  for (TMsg row : {TMsg::CannotWriteReadOnly, TMsg::CharCodeUnknown, TMsg::CharCodeMismatchSjis, TMsg::CharCodeMismatch,
                   TMsg::BinaryFile, TMsg::ModifiedSinceSearch})
    EXPECT_NE(std::string(MessageTable(row)).find('\n'), std::string::npos) << static_cast<int>(row);
  EXPECT_STREQ(MessageTable(TMsg::InvalidSearched), "検索文字列が間違っています。");
  EXPECT_STREQ(MessageTable(TMsg::LineFeedMark), "↓ ");
  EXPECT_STREQ(MessageTable(TMsg::ReplaceQuestion),
               "リストでチェックされている全ての\n\"%s\"を\"%s\"で\n置き換えます。よろしいですか？");
  const std::string row3 = MessageTable(TMsg::MenuSaveResults);
  const std::string save = MessageTable(TMsg::SaveButton);
  EXPECT_EQ(row3.substr(row3.size() - save.size()), save);
}

TEST(MessageTable, EveryRowHasATextAndTheNumberFormAgrees) {
  EXPECT_STREQ(MessageTable(TMsg::MultiLineInput), "複数行入力");
  for (int row = 0; row < MessageTableSize; ++row) {
    EXPECT_STRNE(MessageTable(row), "") << row;
    EXPECT_EQ(MessageTable(row), MessageTable(static_cast<TMsg>(row))) << row;
  }
  EXPECT_STREQ(MessageTable(MessageTableSize), "");
  EXPECT_STREQ(MessageTable(-1), "");
  EXPECT_STREQ(MessageTable(static_cast<TMsg>(MessageTableSize)), "");
}

// A row filled in with the wrong number of values throws when it is shown, so the
// marks of every row must be the ones its callers fill in, and no other row may
// hold a mark at all.
TEST(MessageTable, MarksOfTheRowsFilledIn) {
  const std::map<TMsg, std::string> filled{
      {TMsg::ReplaceQuestion, "ss"}, {TMsg::FoundCount, "d"},         {TMsg::RestoredBefore, "s"},
      {TMsg::RestoredCount, "d"},    {TMsg::UnchangedCount, "d"},     {TMsg::SkippedCount, "d"},
      {TMsg::NotRestoredCount, "d"}, {TMsg::UnitSaved, "s"},          {TMsg::MoreCount, "d"},
      {TMsg::OldUnitQuestion, "s"},  {TMsg::OldUnitBaseRefused, "s"}, {TMsg::BackupSizeTotal, "s"},
      {TMsg::BackupPruneCount, "d"}, {TMsg::BackupPruned, "d"},       {TMsg::RescueKept, "s"},
      {TMsg::StatusWritten, "dd"},   {TMsg::StatusSkipped, "d"},      {TMsg::StatusFailed, "d"},
      {TMsg::StatusPruned, "d"},     {TMsg::WrittenCount, "dd"},      {TMsg::NotWrittenCount, "d"},
      {TMsg::NotBackedUpCount, "d"}, {TMsg::ViewSaveQuestion, "s"},   {TMsg::ViewSaveQuestionFound, "s"},
      {TMsg::HelpNotFound, "s"},     {TMsg::SearchSkippedNote, "d"},  {TMsg::DryRunCounts, "dd"},
      {TMsg::ReplaceCounts, "dd"},   {TMsg::UnitPrunedLine, "ss"},    {TMsg::RestoreCounts, "ddd"},
  };
  for (int row = 0; row < MessageTableSize; ++row) {
    std::string marks;
    const std::string text = MessageTable(row);
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2))
      marks += at + 1 < text.size() ? text[at + 1] : '%';
    const auto it = filled.find(static_cast<TMsg>(row));
    EXPECT_EQ(marks, it == filled.end() ? "" : it->second) << row;
  }
}

TEST(MessageTable, MessageTextFillsInOrderAndLeavesValuesAsTheyAre) {
  EXPECT_EQ(MessageText(TMsg::StatusWritten, std::size_t{3}, 12), "3ファイル 12箇所を書き換え");
  EXPECT_EQ(MessageText(TMsg::MoreCount, 4), "ほか 4 件");
  // A value is never read as a format: a path with marks of its own comes out whole.
  EXPECT_EQ(MessageText(TMsg::RescueKept, std::string("/tmp/a%d%s.txt")), "以前の内容は /tmp/a%d%s.txt に残しています");
  EXPECT_EQ(MessageText(TMsg::Stopped), "中止しました。");
}
