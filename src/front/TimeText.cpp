#include "front/TimeText.h"

#include <cstdio>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace hovrak {

std::string TimeText(const boost::posix_time::ptime& time) {
  // A time stamp that never got a value (read from a damaged settings file) shows
  // as nothing rather than as the library's "not-a-date-time".
  if (time.is_special()) return std::string();
  const boost::gregorian::date day = time.date();
  const boost::posix_time::time_duration clock = time.time_of_day();
  char text[64];
  std::snprintf(text, sizeof text, "%04d年%d月%d日 %d:%02d:%02d", static_cast<int>(day.year()),
                static_cast<int>(day.month()), static_cast<int>(day.day()), static_cast<int>(clock.hours()),
                static_cast<int>(clock.minutes()), static_cast<int>(clock.seconds()));
  return text;
}

}  // namespace hovrak
