#include "settings/OptionNumbers.h"

namespace hovrak {

std::string MegabytesText(std::int64_t bytes) { return std::to_string(bytes / 1048576); }

std::int64_t MegabytesFromText(const std::string&, int fallbackMB) { return std::int64_t(fallbackMB) * 1048576; }

std::string DaysText(const boost::posix_time::time_duration& duration) {
  return std::to_string(duration.hours() / 24);
}

boost::posix_time::time_duration DaysFromText(const std::string&) { return boost::posix_time::hours(0); }

}  // namespace hovrak
