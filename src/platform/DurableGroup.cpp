#include "platform/DurableGroup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

namespace hovrak {

void TDurableGroup::FlushFiles(const std::vector<int>& files, std::vector<int>& errors) {
  errors.assign(files.size(), 0);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();)
      if (::fsync(files[i]) != 0) errors[i] = errno;
  };
  std::size_t threads = files.size() < kMaxThreads ? files.size() : kMaxThreads;
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
  FlushFiles(fds, errors);
  folders_.clear();
}

}  // namespace hovrak
