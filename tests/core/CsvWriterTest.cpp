#include "core/CsvWriter.h"

#include <gtest/gtest.h>

#include "core/Place.h"

namespace {

TEST(CsvWriter, QuotesOnlyFieldsWithCommaOrQuoteAndShowsLineFeedsAsArrows) {
  EXPECT_EQ(TCsvWriter::Quote("plain text"), "plain text");
  EXPECT_EQ(TCsvWriter::Quote("a,b"), "\"a,b\"");
  EXPECT_EQ(TCsvWriter::Quote("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(TCsvWriter::Quote("one\ntwo"), "one↓ two");
  EXPECT_EQ(TCsvWriter::Quote("\n,"), "\"↓ ,\"");
  EXPECT_EQ(TCsvWriter::Quote(""), "");
}

TEST(CsvWriter, HeaderAndRowsKeepTheColumnOrderAndEndEveryFieldWithAComma) {
  const std::wstring text = L"0123456789前後の\n文字hit列,x\"";
  const TPlace<wchar_t> place("dir/a,b.txt", 0, text, 16, 3, {}, {13});
  TCsvWriter csv;
  EXPECT_EQ(csv.Header(), "ファイル名,行番号,\r\n");
  EXPECT_EQ(csv.Row(place), "\"dir/a,b.txt\",2,\r\n");

  csv.File = false;
  csv.Hit = true;
  csv.Around = true;
  csv.AroundLength = 4;
  csv.LineEnd = "\n";
  EXPECT_EQ(csv.Header(), "行番号,直前の文字列,ヒットした文字列,直後の文字列,\n");
  EXPECT_EQ(csv.Row(place), "2,の↓ 文字,hit,\"列,x\"\"\",\n");

  csv.AroundLength = 0;
  EXPECT_EQ(csv.Row(place), "2,,hit,,\n");

  csv.Line = csv.Hit = csv.Around = false;
  EXPECT_EQ(csv.Header(), "\n");
  EXPECT_EQ(csv.Row(place), "\n");
}

TEST(CsvWriter, NarrowPlacesAreCutInBytesAndKeptAsBytes) {
  const std::string text = "\x93\xfa\x96\x7b key \x8c\xea";  // Shift-JIS around an ASCII hit
  const TPlace<char> place("a.txt", 0, text, 5, 3, {}, {});
  TCsvWriter csv;
  csv.Hit = csv.Around = true;
  csv.AroundLength = 3;
  EXPECT_EQ(csv.Row(place), "a.txt,1,\x96\x7b ,key, \x8c\xea,\r\n");
}

}  // namespace
