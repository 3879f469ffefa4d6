#include "platform/PathOps.h"

#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace hovrak {
namespace {

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPartOf(const std::string& relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

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

std::string AbsolutePath(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    std::string cwd;
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return path;  // the current folder is gone: keep the path
      buffer.resize(buffer.size() * 2);
    }
    cwd = buffer.data();
    full = cwd + "/" + path;
  }
  std::string out;
  std::size_t start = 0;
  while (start <= full.size()) {
    std::size_t slash = full.find('/', start);
    if (slash == std::string::npos) slash = full.size();
    const std::string part = full.substr(start, slash - start);
    if (!part.empty() && part != ".") out += "/" + part;
    start = slash + 1;
  }
  return out.empty() ? "/" : out;
}

bool CreateFolders(const std::string& path, unsigned mode) { return CreateFoldersReporting(path, mode) == 0; }

int CreateFoldersReporting(const std::string& path, unsigned mode) {
  if (path.empty() || HasNul(path)) return EINVAL;
  if (IsFolder(path)) return 0;
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
    if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 &&
        errno != EEXIST) {
      return errno;
    }
    if (slash == std::string::npos) break;
  }
  return IsFolder(path) ? 0 : ENOTDIR;
}

}  // namespace hovrak
