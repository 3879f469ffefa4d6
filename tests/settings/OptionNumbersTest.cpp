#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "settings/OptionNumbers.h"

namespace pt = boost::posix_time;
using hovrak::DaysFromText;
using hovrak::DaysText;
using hovrak::MegabytesFromText;
using hovrak::MegabytesText;

namespace {
constexpr std::int64_t MB = 1048576;
}

TEST(OptionNumbersTest, MegabytesShownAsWholeNumbers) {
  EXPECT_EQ(MegabytesText(52428800), "50");
  EXPECT_EQ(MegabytesText(MB + MB / 2), "1");
  EXPECT_EQ(MegabytesText(MB - 1), "0");
  EXPECT_EQ(MegabytesText(0), "0");
  EXPECT_EQ(MegabytesText(4095 * MB), "4095");
}

TEST(OptionNumbersTest, MegabytesReadWithFallbacks) {
  EXPECT_EQ(MegabytesFromText("", 50), 50 * MB);
  EXPECT_EQ(MegabytesFromText("abc", 50), 50 * MB);
  EXPECT_EQ(MegabytesFromText("12abc", 50), 50 * MB);
  EXPECT_EQ(MegabytesFromText("1.5", 50), 50 * MB);
  EXPECT_EQ(MegabytesFromText("-", 50), 50 * MB);
  EXPECT_EQ(MegabytesFromText("abc", 10), 10 * MB);
  EXPECT_EQ(MegabytesFromText("0", 50), MB);
  EXPECT_EQ(MegabytesFromText("-3", 50), MB);
  EXPECT_EQ(MegabytesFromText("0", 10), MB);
  EXPECT_EQ(MegabytesFromText("200", 50), 200 * MB);
  EXPECT_EQ(MegabytesFromText(" 7 ", 50), 7 * MB);
  EXPECT_EQ(MegabytesFromText("+7", 50), 7 * MB);
  // What was shown for one and a half megabytes comes back as one.
  EXPECT_EQ(MegabytesFromText(MegabytesText(MB + MB / 2), 10), MB);
}

TEST(OptionNumbersTest, MegabytesClampedToTheField) {
  // MaxFileSize is a signed 32-bit byte count: at most 2047 MB, never wrapped.
  EXPECT_EQ(MegabytesFromText("2047", 50), 2047 * MB);
  EXPECT_EQ(MegabytesFromText("2048", 50), 2047 * MB);
  EXPECT_EQ(MegabytesFromText("99999999999999999999", 50), 2047 * MB);
  EXPECT_LE(MegabytesFromText("4096", 50), std::numeric_limits<std::int32_t>::max());
  // The backup store's limit is unsigned: up to 4095 MB.
  EXPECT_EQ(MegabytesFromText("4095", 10, hovrak::kBackupMaxSizeLimit), 4095 * MB);
  EXPECT_EQ(MegabytesFromText("5000", 10, hovrak::kBackupMaxSizeLimit), 4095 * MB);
  EXPECT_LE(MegabytesFromText("5000", 10, hovrak::kBackupMaxSizeLimit),
            std::int64_t(std::numeric_limits<std::uint32_t>::max()));
}

TEST(OptionNumbersTest, DaysWithFallbacks) {
  EXPECT_EQ(DaysFromText("7"), pt::hours(7 * 24));
  EXPECT_EQ(DaysFromText("0"), pt::seconds(0));
  EXPECT_EQ(DaysFromText("365"), pt::hours(365 * 24));
  EXPECT_EQ(DaysFromText("400"), pt::hours(365 * 24));
  EXPECT_EQ(DaysFromText("-1"), pt::hours(365 * 24));
  EXPECT_EQ(DaysFromText("99999999999999999999"), pt::hours(365 * 24));
  EXPECT_EQ(DaysFromText("abc"), pt::seconds(0));
  EXPECT_EQ(DaysFromText(""), pt::seconds(0));
  // Shown again: 365 or 0.
  EXPECT_EQ(DaysText(DaysFromText("400")), "365");
  EXPECT_EQ(DaysText(DaysFromText("abc")), "0");
}

TEST(OptionNumbersTest, DaysShownInWholeDays) {
  EXPECT_EQ(DaysText(pt::hours(47)), "1");
  EXPECT_EQ(DaysText(pt::hours(48) + pt::minutes(59)), "2");
  EXPECT_EQ(DaysText(pt::seconds(0)), "0");
  EXPECT_EQ(DaysText(pt::time_duration(pt::not_a_date_time)), "0");
}
