#include "platform/FileInfo.h"

#include <sys/stat.h>

#include <cerrno>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace hovrak {
namespace {

using boost::posix_time::ptime;

const ptime& Epoch() {
  static const ptime epoch(boost::gregorian::date(1970, 1, 1));
  return epoch;
}

// The path as a C string, or nullptr when a NUL byte would cut it short and so name
// a different file.
const char* CPath(const std::string& path) { return path.find('\0') == std::string::npos ? path.c_str() : nullptr; }

}  // namespace

int PathKind(const std::string& path, int* error) {
  const char* p = CPath(path);
  struct stat st;
  if (error) *error = 0;
  if (!p || stat(p, &st) != 0) {
    if (error) *error = p ? errno : EINVAL;
    return 0;
  }
  return S_ISDIR(st.st_mode) ? 2 : 1;
}

ptime LastWriteTime(const std::string& path) {
  const char* p = CPath(path);
  struct stat st;
  if (!p || stat(p, &st) != 0) return ptime(boost::posix_time::not_a_date_time);
  return TimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

ptime TimeFromUnix(std::int64_t seconds, long nanoseconds) {
  static const std::int64_t first = (ptime(boost::gregorian::date(1400, 1, 1)) - Epoch()).total_seconds();
  static const std::int64_t last =
      (ptime(boost::gregorian::date(9999, 12, 31), boost::posix_time::hours(24)) - Epoch()).total_seconds() - 1;
  if (seconds < first || seconds > last || nanoseconds < 0 || nanoseconds >= 1000000000L)
    return ptime(boost::posix_time::not_a_date_time);
  return Epoch() + boost::posix_time::seconds(seconds) + boost::posix_time::milliseconds(nanoseconds / 1000000L);
}

}  // namespace hovrak
