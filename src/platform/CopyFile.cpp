#include "platform/CopyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/FileDescriptor.h"

namespace hovrak {
namespace {

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

constexpr std::size_t kProgressBytes = std::size_t(4) << 20;

int CopyBytes(int from, int to, const std::function<void()>& progress) {
  std::vector<char> buffer(1 << 16);
  std::size_t sinceReport = 0;
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    if (const int err = WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return err;
    sinceReport += static_cast<std::size_t>(got);
    if (progress && sinceReport >= kProgressBytes) {
      sinceReport = 0;
      progress();
    }
  }
}

// Removes the temporary file unless it was renamed into place.
struct TTempGuard {
  std::string path;
  ~TTempGuard() {
    if (!path.empty()) ::unlink(path.c_str());
  }
};

}  // namespace

bool CopyFile(const std::string& source, const std::string& target) { return CopyFileReporting(source, target) == 0; }

int CopyFileReporting(const std::string& source, const std::string& target, const std::function<void()>& progress) {
  if (HasNul(source) || HasNul(target) || target.empty() || target.back() == '/') return EINVAL;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  TFileDescriptor in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.Get() < 0) return errno;
  struct stat st;
  if (::fstat(in.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  ::fcntl(in.Get(), F_SETFL, ::fcntl(in.Get(), F_GETFL) & ~O_NONBLOCK);

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  const std::string temp = folder + ".mirun-copy-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  TFileDescriptor out(::mkostemp(name.data(), O_CLOEXEC));
  if (out.Get() < 0) return errno;
  TTempGuard guard{name.data()};

  const timespec times[2] = {st.st_atim, st.st_mtim};
  int err = CopyBytes(in.Get(), out.Get(), progress);
  if (!err && ::fchmod(out.Get(), st.st_mode & 07777) != 0) err = errno;
  if (!err && ::futimens(out.Get(), times) != 0) err = errno;
  if (!err && ::fsync(out.Get()) != 0) err = errno;
  const int closeErr = out.Close();
  if (!err) err = closeErr;
  if (!err && ::rename(guard.path.c_str(), target.c_str()) != 0) err = errno;
  if (err) return err;
  guard.path.clear();
  // Make the new name itself durable.
  TFileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());
  return 0;
}

}  // namespace hovrak
