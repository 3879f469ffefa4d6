#include "platform/FolderHandle.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "platform/PathOps.h"
#include "platform/SaveJournal.h"

namespace hovrak {

namespace {

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// A link where a folder should be is ELOOP whatever the system says (O_NOFOLLOW with
// O_DIRECTORY gives ENOTDIR on some kernels).
int OpenSubfolder(int parent, const std::string& name) {
  const int fd = ::openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
  if (fd >= 0) return fd;
  const int err = errno;
  struct stat st;
  if ((err == ENOTDIR || err == ELOOP) && ::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    errno = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
  else errno = err;
  return -1;
}

}  // namespace

int TFolderHandle::Open(const std::string& path) {
  fd_.Reset();
  // Absolute, so that the paths the save journal records mean the same files to the
  // next start, whatever its current folder.
  path_ = path.empty() || path[0] != '/' ? AbsolutePath(path.empty() ? "." : path) : path;
  if (HasNul(path)) return EINVAL;
  const int fd = ::open(path.empty() ? "." : path.c_str(), kFolderFlags);
  if (fd < 0) return errno;
  fd_.Reset(fd);
  return 0;
}

int TFolderHandle::Duplicate(TFolderHandle& copy) const {
  copy.fd_.Reset();
  copy.path_ = path_;
  if (fd_.Get() < 0) return EBADF;
  const int fd = ::fcntl(fd_.Get(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return errno;
  copy.fd_.Reset(fd);
  return 0;
}

int TFolderHandle::OpenBelow(const std::string& base, const std::string& relative, bool create, unsigned mode,
                             std::size_t* failedAt) {
  if (failedAt) *failedAt = 0;
  if (const int err = Open(base)) return err;
  if (HasNul(relative)) return EINVAL;
  std::size_t opened = 0;
  for (const std::string& part : Components(relative)) {
    if (part == "." || part == "..") {
      fd_.Reset();
      if (failedAt) *failedAt = opened;
      return EINVAL;
    }
    int next = OpenSubfolder(fd_.Get(), part);
    if (next < 0 && errno == ENOENT && create) {
      if (::mkdirat(fd_.Get(), part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
        const int err = errno;
        fd_.Reset();
        if (failedAt) *failedAt = opened;
        return err;
      }
      next = OpenSubfolder(fd_.Get(), part);
    }
    if (next < 0) {
      const int err = errno;
      fd_.Reset();
      if (failedAt) *failedAt = opened;
      return err;
    }
    fd_.Reset(next);
    path_ = path_.empty() || path_.back() == '/' ? path_ + part : path_ + "/" + part;
    ++opened;
  }
  return 0;
}

std::string TFolderHandle::PathOf(const std::string& name) const {
  if (path_.empty()) return name;
  return path_.back() == '/' ? path_ + name : path_ + "/" + name;
}

int TFolderHandle::Stat(const std::string& name, struct stat& st) const {
  if (HasNul(name)) return EINVAL;
  return ::fstatat(fd_.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

int TFolderHandle::OpenEntry(const std::string& name, int flags, unsigned mode) const {
  if (HasNul(name)) {
    errno = EINVAL;
    return -1;
  }
  return ::openat(fd_.Get(), name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
}

int TFolderHandle::CreateTemp(const std::string& prefix, std::string& name) const {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + RandomSuffix();
    // Written down first: a kill right after the file is made leaves nothing unknown.
    SaveJournal::TempCreating(PathOf(name));
    const int fd = OpenEntry(name, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) return fd;
    const int err = errno;
    // Not ours: the record must not let a later tidying remove that file.
    SaveJournal::TempNotMade(PathOf(name));
    if (err != EEXIST) {
      errno = err;
      return -1;
    }
  }
  errno = EEXIST;
  return -1;
}

void TFolderHandle::RemoveTemp(const std::string& name) const {
  ::unlinkat(fd_.Get(), name.c_str(), 0);
  SaveJournal::TempGone(PathOf(name));
}

int TFolderHandle::RenameTemp(const std::string& temp, const std::string& target) const {
  if (HasNul(target)) return EINVAL;
  if (::renameat(fd_.Get(), temp.c_str(), fd_.Get(), target.c_str()) != 0) return errno;
  SaveJournal::TempGone(PathOf(temp));
  return 0;
}

void TFolderHandle::Sync() const {
  if (fd_.Get() >= 0) ::fsync(fd_.Get());
}

std::string TFolderHandle::RandomSuffix() {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mutex mutex;
  static std::uint64_t state = 0;
  static pid_t owner = 0;
  std::lock_guard<std::mutex> lock(mutex);
  // A forked child draws names of its own, not its parent's next ones.
  if (state == 0 || owner != ::getpid()) {
    owner = ::getpid();
    if (::getrandom(&state, sizeof state, GRND_NONBLOCK) != sizeof state || state == 0)
      state = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
              (static_cast<std::uint64_t>(::getpid()) << 32) ^ 0x9E3779B97F4A7C15ULL;
  }
  std::string suffix(6, 'X');
  for (char& c : suffix) {
    // xorshift64*: plenty for names that only need to differ.
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    c = kLetters[((state * 0x2545F4914F6CDD1DULL) >> 32) % 62];
  }
  return suffix;
}

std::vector<std::string> TFolderHandle::Components(const std::string& relative) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = relative.find('/', start);
    std::string part = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!part.empty()) parts.push_back(std::move(part));
    if (slash == std::string::npos) return parts;
    start = slash + 1;
  }
}

}  // namespace hovrak
