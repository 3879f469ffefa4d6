#pragma once
// What tells one state of a file from another without reading it: the inode it is,
// its size, and its modification and status-change times to the nanosecond. A copy
// made with its times kept (cp -p) or a second write in the same millisecond still
// changes the status-change time, which no one can set back.

#include <cstdint>
#include <string>

#include <sys/stat.h>

namespace hovrak {

struct TFileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = -1;
  std::int64_t ModifiedSeconds = 0;
  long ModifiedNanoseconds = 0;
  std::int64_t ChangedSeconds = 0;
  long ChangedNanoseconds = 0;

  // False for the default value, which stands for "not known".
  bool Known() const { return Size >= 0; }

  static TFileIdentity FromStat(const struct stat& st);
  // The file the path leads to now (links followed); not Known when it cannot be queried.
  static TFileIdentity OfPath(const std::string& path);
  static TFileIdentity OfDescriptor(int fd);

  bool operator==(const TFileIdentity& other) const;
  bool operator!=(const TFileIdentity& other) const { return !(*this == other); }
};

}  // namespace hovrak
