#include "platform/FileIdentity.h"

namespace hovrak {

TFileIdentity TFileIdentity::FromStat(const struct stat& st) {
  TFileIdentity id;
  id.Device = static_cast<std::uint64_t>(st.st_dev);
  id.Inode = static_cast<std::uint64_t>(st.st_ino);
  id.Size = static_cast<std::int64_t>(st.st_size);
  id.ModifiedSeconds = st.st_mtim.tv_sec;
  id.ModifiedNanoseconds = st.st_mtim.tv_nsec;
  id.ChangedSeconds = st.st_ctim.tv_sec;
  id.ChangedNanoseconds = st.st_ctim.tv_nsec;
  return id;
}

TFileIdentity TFileIdentity::OfPath(const std::string& path) {
  struct stat st;
  if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0) return TFileIdentity();
  return FromStat(st);
}

TFileIdentity TFileIdentity::OfDescriptor(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return TFileIdentity();
  return FromStat(st);
}

bool TFileIdentity::operator==(const TFileIdentity& other) const {
  return Device == other.Device && Inode == other.Inode && Size == other.Size &&
         ModifiedSeconds == other.ModifiedSeconds && ModifiedNanoseconds == other.ModifiedNanoseconds &&
         ChangedSeconds == other.ChangedSeconds && ChangedNanoseconds == other.ChangedNanoseconds;
}

}  // namespace hovrak
