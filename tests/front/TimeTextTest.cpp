#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "front/TimeText.h"

namespace pt = boost::posix_time;
using hovrak::TimeText;

TEST(TimeTextTest, DateWithoutLeadingZerosAndTwoDigitMinutes) {
  EXPECT_EQ(TimeText(pt::time_from_string("2005-03-14 09:05:07")), "2005年3月14日 9:05:07");
  EXPECT_EQ(TimeText(pt::time_from_string("2024-12-31 23:59:59")), "2024年12月31日 23:59:59");
  EXPECT_EQ(TimeText(pt::time_from_string("2000-01-01 00:00:00")), "2000年1月1日 0:00:00");
  // The year is zero-filled to four digits; fractions of a second are not shown.
  EXPECT_EQ(TimeText(pt::time_from_string("1400-01-02 10:00:00.750")), "1400年1月2日 10:00:00");
}

TEST(TimeTextTest, AMissingTimeShowsNothing) {
  EXPECT_EQ(TimeText(pt::ptime()), "");
  EXPECT_EQ(TimeText(pt::ptime(pt::pos_infin)), "");
}
