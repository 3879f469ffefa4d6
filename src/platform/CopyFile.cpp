#include "platform/CopyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/ContentHash.h"
#include "platform/FileDescriptor.h"
#include "platform/FolderHandle.h"
#include "platform/PathOps.h"
#include "platform/SaveGroup.h"

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

int CopyBytes(int from, int to, const std::function<void()>& progress, TContentHash& hash, std::uint64_t& total) {
  std::vector<char> buffer(1 << 16);
  std::size_t sinceReport = 0;
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    hash.Add(buffer.data(), static_cast<std::size_t>(got));
    total += static_cast<std::uint64_t>(got);
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
  const TFolderHandle& folder;
  std::string name;
  ~TTempGuard() {
    if (!name.empty()) folder.RemoveTemp(name);
  }
};

}  // namespace

bool CopyFile(const std::string& source, const std::string& target) { return CopyFileReporting(source, target) == 0; }

int CopyFileReporting(const std::string& source, const std::string& target, const std::function<void()>& progress,
                      TCopiedFile* copied, TSaveGroup* group) {
  if (HasNul(source) || HasNul(target) || target.empty() || target.back() == '/') return EINVAL;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  TFileDescriptor in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.Get() < 0) return errno;
  struct stat st;
  if (::fstat(in.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  ::fcntl(in.Get(), F_SETFL, ::fcntl(in.Get(), F_GETFL) & ~O_NONBLOCK);

  TFolderHandle folder;
  if (const int err = folder.Open(FolderOf(target))) return err;
  const std::string name = NameOf(target);
  TTempGuard guard{folder, std::string()};
  TFileDescriptor out(folder.CreateTemp(".mirun-copy-", guard.name));
  if (out.Get() < 0) {
    guard.name.clear();
    return errno;
  }

  const timespec times[2] = {st.st_atim, st.st_mtim};
  TContentHash hash;
  std::uint64_t total = 0;
  int err = CopyBytes(in.Get(), out.Get(), progress, hash, total);
  if (!err && ::fchmod(out.Get(), st.st_mode & 07777) != 0) err = errno;
  if (!err && ::futimens(out.Get(), times) != 0) err = errno;
  if (!err && group) {
    group->Stage(folder, guard.name, name, std::move(out), TFileIdentity(), hash.Value(), total, false);
    guard.name.clear();
    if (copied) {
      copied->Size = total;
      copied->Hash = hash.Value();
    }
    return 0;
  }
  if (!err && ::fsync(out.Get()) != 0) err = errno;
  const int closeErr = out.Close();
  if (!err) err = closeErr;
  if (!err) err = folder.RenameTemp(guard.name, name);
  if (err) return err;
  guard.name.clear();
  // Make the new name itself durable.
  folder.Sync();
  if (copied) {
    copied->Size = total;
    copied->Hash = hash.Value();
  }
  return 0;
}

}  // namespace hovrak
