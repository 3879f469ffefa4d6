#pragma once
// The single-instance mutex: an exclusive lock on a small file beside the instance
// socket, held for the life of the first instance. The kernel drops it when the
// process ends, also after a crash, so a lock that cannot be taken always means a
// live instance.

#include <string>

namespace hovrak {

class TInstanceLock {
 public:
  TInstanceLock() = default;
  ~TInstanceLock() { Release(); }
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Takes the lock without waiting; false when another process holds it. A lock
  // file that cannot be created counts as taken by nobody: true, not held.
  bool TryAcquire(const std::string& path);
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace hovrak
