#pragma once
// What the file set asks the system about one path: whether it is missing, a file or
// a folder, and its last-write time.

#include <cstdint>
#include <string>

#include <boost/date_time/posix_time/ptime.hpp>

namespace hovrak {

// 0 when the path cannot be queried (missing), 2 for a folder, 1 otherwise. Symbolic
// links are followed: a link named directly counts as what it leads to. error, when
// given, gets the errno value of a failed query (0 otherwise).
int PathKind(const std::string& path, int* error = nullptr);

// Last-write time in UTC, truncated to milliseconds; not_a_date_time when the path
// cannot be queried.
boost::posix_time::ptime LastWriteTime(const std::string& path);

// Seconds and nanoseconds since 1970-01-01 UTC as a ptime truncated to milliseconds;
// not_a_date_time outside the years 1400 to 9999 that ptime can hold.
boost::posix_time::ptime TimeFromUnix(std::int64_t seconds, long nanoseconds);

}  // namespace hovrak
