#pragma once
// A time stamp as the windows show it: 2005年3月14日 9:05:07.

#include <string>

#include <boost/date_time/posix_time/ptime.hpp>

namespace hovrak {

std::string TimeText(const boost::posix_time::ptime& time);

}  // namespace hovrak
