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

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool CopyBytes(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
  }
}

}  // namespace

bool CopyFile(const std::string& source, const std::string& target) {
  if (HasNul(source) || HasNul(target) || target.empty() || target.back() == '/') return false;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  TFileDescriptor in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.Get() < 0) return false;
  struct stat st;
  if (::fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  ::fcntl(in.Get(), F_SETFL, ::fcntl(in.Get(), F_GETFL) & ~O_NONBLOCK);

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  std::string temp = folder + ".mirun-copy-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  TFileDescriptor out(::mkostemp(name.data(), O_CLOEXEC));
  if (out.Get() < 0) return false;
  temp = name.data();

  const timespec times[2] = {st.st_atim, st.st_mtim};
  bool ok = CopyBytes(in.Get(), out.Get()) && ::fchmod(out.Get(), st.st_mode & 07777) == 0 &&
            ::futimens(out.Get(), times) == 0 && ::fsync(out.Get()) == 0;
  ok = out.Close() == 0 && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the new name itself durable.
  TFileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());
  return true;
}

}  // namespace hovrak
