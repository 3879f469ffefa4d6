#include "platform/InstanceLock.h"

#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace hovrak {

bool TInstanceLock::TryAcquire(const std::string& path) {
  Release();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;
  if (const int err = LockDescriptor(fd, LOCK_EX | LOCK_NB)) {
    ::close(fd);
    return err != EWOULDBLOCK;
  }
  fd_ = fd;
  return true;
}

void TInstanceLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace hovrak
