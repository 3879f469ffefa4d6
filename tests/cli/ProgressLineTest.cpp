#include "cli/ProgressLine.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

TEST(ProgressLine, RedrawsAtMostTenTimesASecond) {
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&data, &size);
  ASSERT_NE(stream, nullptr);
  {
    TProgressLine line(stream, 80);
    const auto t0 = TProgressLine::TClock::time_point{} + std::chrono::hours(1);
    EXPECT_TRUE(line.Update(TProcessType::Searching, "a", 0, 3, t0));
    EXPECT_FALSE(line.Update(TProcessType::Searching, "b", 1, 3, t0 + std::chrono::milliseconds(99)));
    EXPECT_TRUE(line.Update(TProcessType::Searching, "c", 2, 3, t0 + std::chrono::milliseconds(100)));
    line.Clear();
    line.Clear();
  }
  std::fclose(stream);
  EXPECT_EQ(std::string(data, size), "\r検索中... 1/3 a\x1b[K\r検索中... 3/3 c\x1b[K\r\x1b[K");
  std::free(data);
}

TEST(ProgressLine, CutsTheStartOfAPathThatDoesNotFit) {
  EXPECT_EQ(TProgressLine::Text(TProcessType::Replacing, "/x/y.txt", 9, 10, 80), "置換中... 10/10 /x/y.txt");
  EXPECT_EQ(TProgressLine::Text(TProcessType::Listing, "", 0, 0, 80), "ファイルをリストアップ中...");
  // The head takes 13 columns, " ..." 4; a width of 26 leaves 8 for the path's end.
  EXPECT_EQ(TProgressLine::Text(TProcessType::Replacing, "/long/folder/名前.txt", 0, 2, 26),
            "置換中... 1/2 ...名前.txt");
  // Control bytes and stray bytes never reach the terminal.
  EXPECT_EQ(TProgressLine::Text(TProcessType::Searching, "a\x1b\xff", 0, 1, 80), "検索中... 1/1 a??");
}

}  // namespace
