#include "platform/SideFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace hovrak {

bool WriteSideFile(const std::string& path, const std::vector<std::string>& args) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  std::string text;
  for (const std::string& arg : args) {
    text += arg;
    text += '\n';
  }
  bool ok = true;
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0 && ok;
}

std::vector<std::string> ReadSideFile(const std::string& path) {
  std::vector<std::string> args;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return args;
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  std::size_t start = 0;
  for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    args.push_back(text.substr(start, end - start));
    start = lf + 1;
  }
  if (start < text.size()) args.push_back(text.substr(start));
  return args;
}

}  // namespace hovrak
