#include "front/CsvWriter.h"

#include <gtest/gtest.h>

#include "place/Place.h"
#include "place/PlaceList.h"

namespace {

TEST(CsvWriter, QuotesOnlyFieldsWithCommaOrQuoteAndShowsLineFeedsAsArrows) {
  EXPECT_EQ(TCsvWriter::Quote("plain text"), "plain text");
  EXPECT_EQ(TCsvWriter::Quote("a,b"), "\"a,b\"");
  EXPECT_EQ(TCsvWriter::Quote("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(TCsvWriter::Quote("one\ntwo"), "one↓ two");
  EXPECT_EQ(TCsvWriter::Quote("\n,"), "\"↓ ,\"");
  EXPECT_EQ(TCsvWriter::Quote(""), "");
  // A carriage return ends a record in CSV readers: such a field is quoted too.
  EXPECT_EQ(TCsvWriter::Quote("a\rb"), "\"a\rb\"");
  EXPECT_EQ(TCsvWriter::Quote(std::wstring(L"a\rb")), L"\"a\rb\"");
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

TEST(CsvWriter, FileColumnIsRelativeToTheDisplayBase) {
  const TPlace<wchar_t> place("/data/docs/sub/a,b.txt", 0, L"x", 0, 1, {}, {});
  TCsvWriter csv;
  csv.LineEnd = "\n";
  csv.DisplayBase = "/data/docs";
  EXPECT_EQ(csv.Row(place), "\"sub/a,b.txt\",1,\n");
  EXPECT_EQ(csv.WideRow(place), L"\"sub/a,b.txt\",1,\n");
  csv.DisplayBase = "/data/docs/";
  EXPECT_EQ(csv.Row(place), "\"sub/a,b.txt\",1,\n");
  csv.DisplayBase.clear();
  EXPECT_EQ(csv.Row(place), "\"/data/docs/sub/a,b.txt\",1,\n");
}

TEST(CsvWriter, CountAsTypedFallsBackToThirty) {
  EXPECT_EQ(TCsvWriter::ParseAroundLength("12"), 12);
  EXPECT_EQ(TCsvWriter::ParseAroundLength(" 0 "), 0);
  EXPECT_EQ(TCsvWriter::ParseAroundLength("+7"), 7);
  for (const char* text : {"", " ", "-1", "-0x", "abc", "5x", "1.5", "+", "99999999999", "１２"})
    EXPECT_EQ(TCsvWriter::ParseAroundLength(text), 30) << text;
  EXPECT_EQ(TCsvWriter::ParseAroundLength("-0"), 0);

  // A negative count set directly also stands for 30.
  const std::string text = std::string(40, 'a') + "HIT" + std::string(40, 'b');
  const TPlace<char> place("f", 0, text, 40, 3, {}, {});
  TCsvWriter csv;
  csv.File = csv.Line = false;
  csv.Around = true;
  csv.LineEnd = "\n";
  csv.AroundLength = -5;
  EXPECT_EQ(csv.Row(place), std::string(30, 'a') + "," + std::string(30, 'b') + ",\n");
}

TEST(CsvWriter, BuildWritesTheHeaderAndOnlyTickedPlaces) {
  TPlaceList<wchar_t> list;
  const std::wstring text = L"one two three";
  for (const std::size_t at : {0u, 4u, 8u})
    list.Add(
        std::make_shared<TPlace<wchar_t>>("f.txt", 0, text, at, 3, std::vector<std::wstring>{}, std::vector<int>{}));
  TCsvWriter csv;
  csv.File = false;
  csv.Hit = true;
  csv.LineEnd = "\n";
  EXPECT_EQ(csv.Build(&list), "行番号,ヒットした文字列,\n1,one,\n1,two,\n1,thr,\n");
  list.Item(1)->Checked = false;
  EXPECT_EQ(csv.WideBuild(&list), L"行番号,ヒットした文字列,\n1,one,\n1,thr,\n");
  for (int i = 0; i < list.Count(); ++i) list.Item(i)->Checked = false;
  EXPECT_EQ(csv.Build(&list), "行番号,ヒットした文字列,\n");
  EXPECT_EQ(csv.WideBuild(nullptr), L"行番号,ヒットした文字列,\n");
}

TEST(CsvWriter, WideFormKeepsNulsAndLoneSurrogatesAndCountsUnits) {
  // A lone high surrogate before the hit, a NUL in it, a lone low surrogate after.
  const std::wstring hit{L'a', L'\0', L'b'};
  const std::wstring text = std::wstring(L"x\xD800y") + hit + L"z\xDC00\n\"q";
  const TPlace<wchar_t> place("dir/名前.txt", 0, text, 3, 3, {}, {});
  TCsvWriter csv;
  csv.Hit = csv.Around = true;
  csv.LineEnd = "\n";
  csv.AroundLength = 5;
  EXPECT_EQ(csv.WideHeader(), L"ファイル名,行番号,直前の文字列,ヒットした文字列,直後の文字列,\n");
  const std::wstring row = csv.WideRow(place);
  EXPECT_EQ(row, std::wstring(L"dir/名前.txt,1,x\xD800y,") + hit + L",\"z\xDC00↓ \"\"q\",\n");
  // Units, not characters: two units of context keep "\xD800y" and "z\xDC00".
  csv.File = csv.Line = csv.Hit = false;
  csv.AroundLength = 2;
  EXPECT_EQ(csv.WideRow(place), L"\xD800y,z\xDC00,\n");
  // The narrow form of the same row goes through UTF-8, where such units cannot
  // stay: that is why the save as UTF-16 takes the wide form.
  EXPECT_EQ(csv.Row(place), "?y,z?,\n");
}

TEST(CsvWriter, WideCutLeavesOutOnlyTheHalfItSplit) {
  const std::wstring yoshi = L"\xD842\xDFB7";  // U+20BB7
  const std::wstring text = yoshi + yoshi + L"HIT" + yoshi + yoshi;
  const TPlace<wchar_t> place("f", 0, text, 4, 3, {}, {});
  TCsvWriter csv;
  csv.File = csv.Line = false;
  csv.Around = true;
  csv.LineEnd = "\n";
  csv.AroundLength = 3;
  EXPECT_EQ(csv.WideRow(place), yoshi + L"," + yoshi + L",\n");
  csv.AroundLength = 4;
  EXPECT_EQ(csv.WideRow(place), yoshi + yoshi + L"," + yoshi + yoshi + L",\n");
  // A lone half of the file's own at the cut is no split pair: it stays.
  const TPlace<wchar_t> lone("f", 0, L"x\xDC00yHITy\xD800z", 3, 3, {}, {});
  csv.AroundLength = 2;
  EXPECT_EQ(csv.WideRow(lone), L"\xDC00y,y\xD800,\n");
  // The place's own 100-unit cut through a pair.
  const std::wstring far = yoshi + std::wstring(99, L'a') + L"HIT" + std::wstring(99, L'b') + yoshi;
  const TPlace<wchar_t> cut("f", 0, far, 101, 3, {}, {});
  csv.AroundLength = 200;
  EXPECT_EQ(csv.WideRow(cut), std::wstring(99, L'a') + L"," + std::wstring(99, L'b') + L",\n");
}

TEST(CsvWriter, WideFormOfNarrowPlacesDecodesTheBytes) {
  const TPlace<char> place("a.txt", 2, "k\xC3\xA9,y", 0, 5, {}, {});
  TCsvWriter csv;
  csv.Hit = true;
  csv.LineEnd = "\r\n";
  EXPECT_EQ(csv.WideRow(place), L"a.txt,3,\"k\u00E9,y\",\r\n");
}

}  // namespace
