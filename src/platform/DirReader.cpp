#include "platform/DirReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace hovrak {

TDirReader::TDirReader(const std::string& folder) {
  // A name with a NUL byte would silently name a different folder.
  if (folder.find('\0') != std::string::npos) {
    error_ = EINVAL;
    return;
  }
  dir_ = opendir(folder.c_str());
  if (!dir_) error_ = errno;
}

TDirReader::~TDirReader() {
  if (dir_) closedir(dir_);
}

bool TDirReader::Next() {
  if (!dir_) return false;
  for (;;) {
    errno = 0;  // readdir tells its end from a failure only by errno
    entry_ = readdir(dir_);
    if (!entry_) {
      error_ = errno;
      return false;
    }
    const char* name = entry_->d_name;
    if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) return true;
  }
}

TDirEntryKind TDirReader::Kind() const {
  const int fd = dirfd(dir_);
  struct stat st;
  switch (entry_->d_type) {
    case DT_REG: return TDirEntryKind::File;
    case DT_DIR: return TDirEntryKind::Folder;
    case DT_LNK: break;
    case DT_UNKNOWN:
      if (fstatat(fd, entry_->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return TDirEntryKind::Other;
      if (S_ISREG(st.st_mode)) return TDirEntryKind::File;
      if (S_ISDIR(st.st_mode)) return TDirEntryKind::Folder;
      if (!S_ISLNK(st.st_mode)) return TDirEntryKind::Other;
      break;
    default: return TDirEntryKind::Other;
  }
  // A symbolic link: a file when it leads to a regular file; never a folder, so the
  // walk cannot run in circles.
  if (fstatat(fd, entry_->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)) return TDirEntryKind::File;
  return TDirEntryKind::Other;
}

}  // namespace hovrak
