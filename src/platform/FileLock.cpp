#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/FolderHandle.h"

namespace hovrak {

namespace {

// Read access is enough for flock; O_NONBLOCK keeps a FIFO put in the file's place
// from blocking the open.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

}  // namespace

int LockDescriptor(int fd, int operation) {
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int TFileLock::Acquire(const std::string& path, const std::function<void()>& whileWaiting) {
  Release();
  if (path.find('\0') != std::string::npos) return ENOENT;
  return AcquireWith([&] { return ::open(path.c_str(), kOpenFlags); },
                     [&](struct stat& st) { return ::stat(path.c_str(), &st) == 0 ? 0 : errno; }, whileWaiting);
}

int TFileLock::AcquireAt(const TFolderHandle& folder, const std::string& name,
                         const std::function<void()>& whileWaiting) {
  Release();
  return AcquireWith([&] { return folder.OpenEntry(name, kOpenFlags); },
                     [&](struct stat& st) { return folder.Stat(name, st); }, whileWaiting);
}

int TFileLock::AcquireWith(const std::function<int()>& open, const std::function<int(struct stat&)>& look,
                           const std::function<void()>& whileWaiting) {
  for (;;) {
    const int fd = open();
    if (fd < 0) return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      const int err = errno;
      ::close(fd);
      return err;
    }
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      return EINVAL;
    }
    for (int err; (err = LockDescriptor(fd, LOCK_EX | LOCK_NB)) != 0;) {
      if (err != EWOULDBLOCK) {
        // A file system without locks: go on unlocked rather than not at all.
        fd_ = fd;
        return 0;
      }
      if (whileWaiting) {
        try {
          whileWaiting();
        } catch (...) {
          ::close(fd);
          throw;
        }
      }
      const timespec pause = {0, 50 * 1000 * 1000};
      ::nanosleep(&pause, nullptr);
    }
    // The holder may have renamed a new file into place: then lock that one.
    struct stat now;
    if (look(now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
      fd_ = fd;
      return 0;
    }
    ::close(fd);
  }
}

void TFileLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace hovrak
