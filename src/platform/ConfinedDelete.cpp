#include "platform/ConfinedDelete.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/FolderHandle.h"

namespace hovrak {
namespace {

// Deeper folders are left alone: each level holds one descriptor open.
constexpr int kMaxDepth = 200;

std::vector<std::string> Components(const std::string& relative) { return TFolderHandle::Components(relative); }

int OpenRoot(const std::string& root) {
  if (root.find('\0') != std::string::npos) return -1;
  return ::open(root.empty() ? "." : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int OpenSubfolder(int parent, const std::string& name) {
  return ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool IsSubfolder(int parent, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN) return false;
  struct stat st;
  return ::fstatat(parent, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// Empties the folder open at fd of its empty subfolders, depth first. Takes fd.
void RemoveEmptySubfolders(int fd, int depth) {
  std::vector<std::string> subfolders;
  const int listFd = ::dup(fd);
  DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
  if (dir) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != ".." && IsSubfolder(fd, *entry)) subfolders.push_back(name);
    }
    ::closedir(dir);
  } else if (listFd >= 0) {
    ::close(listFd);
  }
  if (depth < kMaxDepth) {
    for (const std::string& name : subfolders) {
      const int child = OpenSubfolder(fd, name);
      if (child < 0) continue;
      RemoveEmptySubfolders(child, depth + 1);
      ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
    }
  }
  ::close(fd);
}

}  // namespace

bool IsConfinedRelativePath(const std::string& relative) {
  if (relative.empty() || relative[0] == '/' || relative.find('\0') != std::string::npos) return false;
  const std::vector<std::string> parts = Components(relative);
  if (parts.empty()) return false;
  for (const std::string& part : parts) {
    if (part == "." || part == "..") return false;
  }
  return true;
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool DeleteFileBelow(const std::string& root, const std::string& relative) {
  if (!IsConfinedRelativePath(relative)) return false;
  const std::vector<std::string> parts = Components(relative);
  std::string parent;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) parent += parts[i] + "/";
  TFolderHandle folder;
  if (folder.OpenBelow(root, parent) != 0) return false;
  return ::unlinkat(folder.Fd(), parts.back().c_str(), 0) == 0;
}

bool RemoveEmptyTreeBelow(const std::string& root, const std::string& name) {
  if (!IsPlainName(name)) return false;
  const int rootFd = OpenRoot(root);
  if (rootFd < 0) return false;
  const int fd = OpenSubfolder(rootFd, name);
  bool ok = false;
  if (fd >= 0) {
    RemoveEmptySubfolders(fd, 1);
    ok = ::unlinkat(rootFd, name.c_str(), AT_REMOVEDIR) == 0;
  }
  ::close(rootFd);
  return ok;
}

}  // namespace hovrak
