#pragma once
// An exclusive advisory lock on one file that Mirun processes take while they read,
// change and rewrite it, so that two replace runs never write the same file from the
// same old contents. The lock sits on the file's inode; since a save renames a new
// file into place, the lock is taken again when the name has moved on meanwhile.

#include <functional>
#include <string>

namespace hovrak {

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
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace hovrak
