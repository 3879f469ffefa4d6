#pragma once
// An exclusive advisory lock on one file that Mirun processes take while they read,
// change and rewrite it, so that two replace runs never write the same file from the
// same old contents. The lock sits on the file's inode; since a save renames a new
// file into place, the lock is taken again when the name has moved on meanwhile.

#include <sys/stat.h>

#include <functional>
#include <string>

namespace hovrak {

class TFolderHandle;

// flock(fd, operation) (LOCK_EX, LOCK_SH, either with LOCK_NB), tried again when a
// signal breaks the wait. Returns 0, or the errno value (EWOULDBLOCK when LOCK_NB is
// given and another descriptor holds a lock that stands in the way).
int LockDescriptor(int fd, int operation);

class TFileLock {
 public:
  TFileLock() = default;
  ~TFileLock() { Release(); }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // Waits until the file at path is locked by this object. whileWaiting is called
  // every 50 ms while another process holds the lock (it may throw to give up).
  // Returns 0, or an errno value when the file cannot be opened (the caller goes on
  // without the lock and meets the same failure when it reads).
  int Acquire(const std::string& path, const std::function<void()>& whileWaiting = {});
  // The same for the entry name of a held folder; a symbolic link there is never
  // followed (ELOOP: the caller goes on without the lock).
  int AcquireAt(const TFolderHandle& folder, const std::string& name, const std::function<void()>& whileWaiting = {});
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;

  // Opens the file (a descriptor or -1 with errno) and looks at what the name holds
  // now (0 or an errno value), for the loop both forms share.
  int AcquireWith(const std::function<int()>& open, const std::function<int(struct stat&)>& look,
                  const std::function<void()>& whileWaiting);
};

}  // namespace hovrak
