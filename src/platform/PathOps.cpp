#include "platform/PathOps.h"

#include <sys/stat.h>

#include <cerrno>

namespace hovrak {
namespace {

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool PathExists(const std::string& path) {
  struct stat st;
  return !HasNul(path) && ::lstat(path.c_str(), &st) == 0;
}

bool FileSizeOnDisk(const std::string& path, std::uint64_t& size) {
  struct stat st;
  if (HasNul(path) || ::stat(path.c_str(), &st) != 0 || st.st_size < 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool CreateFolders(const std::string& path, unsigned mode) {
  if (path.empty() || HasNul(path)) return false;
  if (IsFolder(path)) return true;
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
    if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 &&
        errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) break;
  }
  return IsFolder(path);
}

}  // namespace hovrak
