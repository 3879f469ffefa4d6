#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SafeSave.h"
#include "settings/KELLineCutter.h"
#include "settings/KELNode.h"

bool TSettingsFile::Exists() const {
  struct stat st;
  return ::lstat(path_.c_str(), &st) == 0;
}

bool TSettingsFile::Load(hovrak::TKELObject& object) {
  hovrak::TKELNode node;
  if (!node.LoadFile(path_)) return false;
  object.Read(node);
  return true;
}

std::string TSettingsFile::BlockBytes(const std::string& name, const hovrak::TKELObject& object) {
  hovrak::TKELNode root;
  root.WriteChild(name, object);
  return root.SaveToBytes();
}

std::string TSettingsFile::ReplaceTopLevelBlock(const std::string& bytes, const std::string& name,
                                                const std::string& block) {
  // Walks the lines as the reader does, tracking the nesting depth, to find the
  // first top-level open line of that name and the close line that matches it.
  hovrak::TKELLineCutter cutter(bytes);
  std::size_t end = cutter.DataEnd();
  std::size_t depth = 0;
  std::size_t blockStart = std::string::npos;
  hovrak::TKELLineCutter::TLine line;
  while (cutter.Next(line)) {
    const std::size_t lineStart = line.Start;
    const std::size_t first = line.First;
    const std::size_t lineEnd = line.End;
    const std::size_t next = line.Next;
    if (first == lineEnd) continue;
    if (bytes[first] == '}') {
      if (depth == 0) {
        // The reader stops at a close line with nothing open: nothing after it counts.
        end = lineStart;
        break;
      }
      --depth;
      if (depth == 0 && blockStart != std::string::npos) {
        std::string out = bytes.substr(0, blockStart) + block + bytes.substr(next);
        return out;
      }
      continue;
    }
    std::size_t mark = first;
    while (mark < lineEnd && bytes[mark] != '=' && bytes[mark] != '{') ++mark;
    if (mark == lineEnd || bytes[mark] != '{') continue;
    if (depth == 0 && blockStart == std::string::npos && bytes.compare(first, mark - first, name) == 0 &&
        mark - first == name.size())
      blockStart = lineStart;
    ++depth;
  }
  if (blockStart != std::string::npos) return bytes.substr(0, blockStart) + block + bytes.substr(end);
  // No such block: append it to the readable data, on a line of its own.
  std::string head = bytes.substr(0, end);
  if (!head.empty() && head.back() != '\n') head += "\r\n";
  return head + block + bytes.substr(end);
}

bool TSettingsFile::SaveBlock(const std::string& name, const hovrak::TKELObject& object) const {
  return WriteBlock(name, object) == 0;
}

int TSettingsFile::WriteBlock(const std::string& name, const hovrak::TKELObject& object) const {
  // A file that exists but cannot be read now is left alone rather than replaced
  // by the block alone; anything but a regular file is refused.
  std::string bytes;
  const int err = ReadBytes(path_, bytes);
  if (err != 0 && err != ENOENT) return err;
  const std::string block = BlockBytes(name, object);
  hovrak::TKELNode tree;
  if (tree.LoadFromBytes(bytes)) return hovrak::SafeWriteFile(path_, ReplaceTopLevelBlock(bytes, name, block));
  struct stat st;
  const mode_t mode = ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0600;
  const int kept = KeepBrokenCopy(path_ + ".bad", bytes, mode);
  if (kept != 0) return kept;
  return hovrak::SafeWriteFile(path_, ReplaceTopLevelBlock(tree.SaveToBytes(), name, block));
}

int TSettingsFile::ReadBytes(const std::string& path, std::string& bytes) {
  // Non-blocking open so that a FIFO named like the settings file cannot hang us.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (S_ISDIR(st.st_mode)) {
    err = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    err = EINVAL;
  }
  std::string result;
  char buffer[65536];
  while (err == 0) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno != EINTR) err = errno;
      continue;
    }
    result.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (err == 0) bytes.swap(result);
  return err;
}

int TSettingsFile::KeepBrokenCopy(const std::string& path, const std::string& bytes, unsigned mode) {
  // A new file each time, made with the settings file's permissions from the start,
  // and on disk before the settings file is replaced.
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return errno;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return errno;
  int err = 0;
  std::size_t done = 0;
  while (err == 0 && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno != EINTR) err = errno;
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) ::unlink(path.c_str());
  return err;
}
