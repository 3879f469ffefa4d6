#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "settings/KELNode.h"
#include "settings/KELString.h"
#include "settings/SearchMode.h"
#include "text/CharCode.h"

using hovrak::TKELString;
namespace pt = boost::posix_time;
namespace gr = boost::gregorian;

namespace {

// Reads text into a field that starts at `start`; returns the field afterwards.
template <class T>
T ReadInto(const std::string& text, T start) {
  TKELString(text).Get(start);
  return start;
}

}  // namespace

TEST(KELStringTest, BoolsAndIntegers) {
  EXPECT_EQ(TKELString(true).Text(), "1");
  EXPECT_EQ(TKELString(false).Text(), "0");
  EXPECT_EQ(TKELString(std::int32_t{-2147483647 - 1}).Text(), "-2147483648");
  EXPECT_EQ(TKELString(std::uint32_t{4294967295u}).Text(), "4294967295");

  EXPECT_FALSE(ReadInto<bool>("0", true));
  EXPECT_TRUE(ReadInto<bool>(" 1 trailing", false));
  EXPECT_TRUE(ReadInto<bool>("yes", true));
  EXPECT_FALSE(ReadInto<bool>("yes", false));
  EXPECT_FALSE(ReadInto<bool>("2", false));
  EXPECT_TRUE(ReadInto<bool>("-1", true));

  EXPECT_EQ(ReadInto<std::int32_t>("  -42abc", 7), -42);
  EXPECT_EQ(ReadInto<std::int32_t>("+5", 7), 5);
  EXPECT_EQ(ReadInto<std::int32_t>("2147483647", 7), 2147483647);
  EXPECT_EQ(ReadInto<std::int32_t>("2147483648", 7), 7);
  EXPECT_EQ(ReadInto<std::int32_t>("-2147483649", 7), 7);
  EXPECT_EQ(ReadInto<std::int32_t>("99999999999999999999999", 7), 7);
  EXPECT_EQ(ReadInto<std::int32_t>("", 7), 7);
  EXPECT_EQ(ReadInto<std::int32_t>("- 5", 7), 7);
  EXPECT_EQ(ReadInto<std::int32_t>("x5", 7), 7);

  EXPECT_EQ(ReadInto<std::uint32_t>("4294967295", 7u), 4294967295u);
  EXPECT_EQ(ReadInto<std::uint32_t>("4294967296", 7u), 7u);
  EXPECT_EQ(ReadInto<std::uint32_t>("-1", 7u), 7u) << "a negative size must not wrap around";
}

TEST(KELStringTest, TextIsKeptWhole) {
  EXPECT_EQ(ReadInto<std::string>("  \"C:\\Program Files\\x.exe\" \"%p\"  ", "old"),
            "  \"C:\\Program Files\\x.exe\" \"%p\"  ");
  EXPECT_EQ(ReadInto<std::string>("", "old"), "");
}

TEST(KELStringTest, EnumerationsByExactName) {
  EXPECT_EQ(TKELString(TSearchMode::Regex).Text(), "Regex");
  EXPECT_EQ(TKELString(TCharCode::UTF8N).Text(), "UTF8N");
  EXPECT_EQ(ReadInto("Regex", TSearchMode::Normal), TSearchMode::Regex);
  EXPECT_EQ(ReadInto(" Word extra", TSearchMode::Normal), TSearchMode::Word);
  EXPECT_EQ(ReadInto("regex", TSearchMode::Word), TSearchMode::Word);
  EXPECT_EQ(ReadInto("", TSearchMode::Word), TSearchMode::Word);
  EXPECT_EQ(ReadInto("EUC", TCharCode::Auto), TCharCode::EUC);
  EXPECT_EQ(ReadInto("euc", TCharCode::SJIS), TCharCode::SJIS);
}

TEST(KELStringTest, TimeStamps) {
  const pt::ptime whole(gr::date(2005, 3, 14), pt::hours(13) + pt::minutes(45) + pt::seconds(7));
  const pt::ptime fraction = whole + pt::microseconds(1500);
  EXPECT_EQ(TKELString(whole).Text(), "2005-03-14 13:45:07");
  EXPECT_EQ(TKELString(fraction).Text(), "2005-03-14 13:45:07.001500");

  const pt::ptime start(gr::date(2000, 1, 1));
  EXPECT_EQ(ReadInto("2005-03-14 13:45:07", start), whole);
  EXPECT_EQ(ReadInto("2005-03-14 13:45:07.001500", start), fraction);
  EXPECT_EQ(ReadInto("2005-03-14 13:45:07.0015", start), fraction);
  // Impossible dates and times, letters, missing parts: the field stays.
  for (const char* bad :
       {"2005-02-30 00:00:00", "2005-13-01 00:00:00", "2005-03-14 24:00:00", "2005-03-14 12:60:00", "2005-03-14",
        "abcd-03-14 13:45:07", "2005-03-14 1x:45:07", "2005-Mar-14 13:45:07", "", "not-a-date-time"}) {
    EXPECT_EQ(ReadInto(bad, start), start) << bad;
  }
}

TEST(KELStringTest, Durations) {
  EXPECT_EQ(TKELString(pt::time_duration(0, 0, 0)).Text(), "00:00:00");
  EXPECT_EQ(TKELString(pt::hours(7 * 24)).Text(), "168:00:00");
  EXPECT_EQ(TKELString(pt::seconds(5) + pt::microseconds(250000)).Text(), "00:00:05.250000");

  const pt::time_duration start = pt::minutes(1);
  EXPECT_EQ(ReadInto("168:00:00", start), pt::hours(168));
  EXPECT_EQ(ReadInto("00:00:05.250000", start), pt::seconds(5) + pt::microseconds(250000));
  for (const char* bad : {"", "1:2:3", "00:61:00", "aa:00:00", "00:00"}) {
    EXPECT_EQ(ReadInto(bad, start), start) << bad;
  }
}

TEST(KELStringTest, ReadValueAndWriteValueGoThroughTheNode) {
  hovrak::TKELNode node;
  hovrak::WriteValue(node, "Size", std::uint32_t{2048});
  hovrak::WriteValue(node, "Size", std::string("oops"));
  std::uint32_t size = 1;
  EXPECT_TRUE(hovrak::ReadValue(node, "Size", size));
  EXPECT_EQ(size, 2048u);
  EXPECT_FALSE(hovrak::ReadValue(node, "Size", size));
  EXPECT_EQ(size, 2048u);
  EXPECT_FALSE(hovrak::ReadValue(node, "Size", size)) << "both values consumed";
}
