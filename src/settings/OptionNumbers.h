#pragma once
// The option dialog's whole-number fields: megabytes and days as shown, and the
// rules that turn an entered text back into bytes and durations.

#include <cstdint>
#include <string>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace hovrak {

// The largest byte counts, in whole megabytes, that the options' 32-bit fields hold:
// MaxFileSize is signed (2047 MB), the backup store's MaxSize unsigned (4095 MB).
constexpr std::int64_t kMaxFileSizeLimit = std::int64_t(2047) * 1048576;
constexpr std::int64_t kBackupMaxSizeLimit = std::int64_t(4095) * 1048576;

// bytes / 1048576 (whole part) in decimal.
std::string MegabytesText(std::int64_t bytes);
// The text read as a whole number of megabytes (fallbackMB when it does not read as
// one), raised to 1 when smaller, times 1048576. A number whose byte count would pass
// limitBytes gives the largest whole number of megabytes within it, so storing the
// result in the field never wraps.
std::int64_t MegabytesFromText(const std::string& text, int fallbackMB, std::int64_t limitBytes = kMaxFileSizeLimit);
// Whole hours / 24 (whole part) in decimal.
std::string DaysText(const boost::posix_time::time_duration& duration);
// The text read as a whole number of days (0 when it does not read as one); below 0
// or above 365 gives 365.
boost::posix_time::time_duration DaysFromText(const std::string& text);

}  // namespace hovrak
