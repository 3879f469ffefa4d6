#include <gtest/gtest.h>

#include <sstream>

#include "text/CharCode.h"

TEST(CharCode, StreamTextsRoundTrip) {
  for (int i = 0; i <= 8; ++i) {
    std::stringstream ss;
    ss << static_cast<TCharCode>(i);
    TCharCode back = TCharCode::Auto;
    ss >> back;
    EXPECT_FALSE(ss.fail()) << i;
    EXPECT_EQ(static_cast<int>(back), i);
  }
  std::ostringstream out;
  out << static_cast<TCharCode>(9);
  EXPECT_EQ(out.str(), "");
}

TEST(CharCode, UnknownWordFailsAndLeavesTargetUnchanged) {
  for (const char* word : {"sjis", "UTF-8", "Shift-JIS", "9"}) {
    std::istringstream in(word);
    TCharCode code = TCharCode::EUC;
    in >> code;
    EXPECT_TRUE(in.fail()) << word;
    EXPECT_EQ(code, TCharCode::EUC) << word;
  }
  std::istringstream two("  UTF8N  JIS");
  TCharCode a{}, b{};
  two >> a >> b;
  EXPECT_EQ(a, TCharCode::UTF8N);
  EXPECT_EQ(b, TCharCode::JIS);
}
