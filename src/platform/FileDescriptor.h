#pragma once
// Owns an open file descriptor and closes it when it goes out of scope; with the
// whole-file reads and writes the platform layer shares.

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace hovrak {

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept {
    if (this != &other) {
      Reset(other.fd_);
      other.fd_ = -1;
    }
    return *this;
  }

  int Get() const { return fd_; }
  // Closes the descriptor held, if any, and takes fd.
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now; 0, or the errno of a failed close (where a delayed write error shows).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_;
};

// Reads from fd's current offset to its end into bytes. 0 or an errno value.
inline int ReadToEnd(int fd, std::string& bytes) {
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// Writes all bytes at the given offset. 0 or an errno value (EIO when the system
// takes nothing).
inline int WriteAllAt(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return 0;
}

}  // namespace hovrak
