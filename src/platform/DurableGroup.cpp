#include "platform/DurableGroup.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

namespace hovrak {

namespace {

constexpr long kExt4Magic = 0xEF53;
constexpr long kXfsMagic = 0x58465342;
constexpr long kBtrfsMagic = 0x9123683E;

// Since Linux 5.8 syncfs reports write-back errors of the file system; before, it
// returned 0 whatever happened.
bool SyncfsReportsErrors() {
  static const bool reports = [] {
    utsname name;
    int major = 0, minor = 0;
    if (::uname(&name) != 0 || std::sscanf(name.release, "%d.%d", &major, &minor) != 2) return false;
    return major > 5 || (major == 5 && minor >= 8);
  }();
  return reports;
}

// Whether one syncfs through fd makes its file system's written files durable.
bool SyncfsIsSound(int fd) {
  struct statfs fs;
  if (::fstatfs(fd, &fs) != 0) return false;
  const long type = static_cast<long>(fs.f_type);
  return type == kExt4Magic || type == kXfsMagic || type == kBtrfsMagic;
}

}  // namespace

void TDurableGroup::FsyncEach(const std::vector<int>& files, std::vector<int>& errors) {
  errors.assign(files.size(), 0);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();)
      if (::fsync(files[i]) != 0) errors[i] = errno;
  };
  const std::size_t threads = files.size() < kMaxThreads ? files.size() : kMaxThreads;
  std::vector<std::thread> helpers;
  // This thread flushes too; where no thread can be started it flushes them all.
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (...) {
      break;
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
}

void TDurableGroup::FlushFiles(const std::vector<int>& files, std::vector<int>& errors) {
  errors.assign(files.size(), 0);
  // The files by file system; those where syncfs is not enough get their own fsync.
  std::map<dev_t, std::vector<std::size_t>> byDevice;
  std::vector<std::size_t> each;
  for (std::size_t i = 0; i < files.size(); ++i) {
    struct stat st;
    if (SyncfsReportsErrors() && ::fstat(files[i], &st) == 0) byDevice[st.st_dev].push_back(i);
    else each.push_back(i);
  }
  for (const auto& device : byDevice) {
    const std::vector<std::size_t>& members = device.second;
    if (SyncfsIsSound(files[members.front()]) && ::syncfs(files[members.front()]) == 0) continue;
    each.insert(each.end(), members.begin(), members.end());
  }
  if (each.empty()) return;
  std::vector<int> fds, found;
  for (const std::size_t i : each) fds.push_back(files[i]);
  FsyncEach(fds, found);
  for (std::size_t j = 0; j < each.size(); ++j) errors[each[j]] = found[j];
}

void TDurableGroup::AddFolder(const TFolderHandle& folder) {
  struct stat st;
  if (!folder.IsOpen() || ::fstat(folder.Fd(), &st) != 0) return;
  const auto key = std::make_pair(st.st_dev, st.st_ino);
  if (folders_.count(key) != 0) return;
  TFolderHandle copy;
  if (folder.Duplicate(copy) != 0) {
    folder.Sync();  // no descriptor to keep: flushed now instead
    return;
  }
  folders_.emplace(key, std::move(copy));
}

void TDurableGroup::FlushFolders() {
  // Folders refuse flushes on some file systems; what was renamed stays renamed.
  std::vector<int> fds, errors;
  for (const auto& entry : folders_) fds.push_back(entry.second.Fd());
  FsyncEach(fds, errors);
  folders_.clear();
}

}  // namespace hovrak
