#pragma once
// Owns an open file descriptor and closes it when it goes out of scope.

#include <unistd.h>

#include <cerrno>

namespace hovrak {

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return fd_; }
  // Closes now; 0, or the errno of a failed close (where a delayed write error shows).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_;
};

}  // namespace hovrak
