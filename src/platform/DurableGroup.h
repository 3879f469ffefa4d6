#pragma once
// Makes many files written one after another durable together: on a local file
// system that reports write-back errors to syncfs (ext4, XFS, Btrfs on Linux 5.8 and
// later) with one syncfs per file system, elsewhere (network and FUSE file systems,
// where syncfs may do nothing) with their fsyncs issued at once from a few threads,
// so that the file system joins them into few commits instead of waiting on the disk
// once per file. Each folder whose entries changed is flushed once however many of
// its files were renamed.

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "platform/FolderHandle.h"

namespace hovrak {

class TDurableGroup {
 public:
  // Threads that flush at once; more only add work for the scheduler.
  static constexpr std::size_t kMaxThreads = 8;

  // Flushes each open file to disk; errors[i] receives 0 or the errno value of
  // files[i]. Returns when every flush has ended. A syncfs that fails is followed by
  // each file's own fsync, which tells the files the failure belongs to.
  static void FlushFiles(const std::vector<int>& files, std::vector<int>& errors);
  // The same, one fsync per file from up to kMaxThreads threads.
  static void FsyncEach(const std::vector<int>& files, std::vector<int>& errors);

  // Notes a folder whose entries changed, for one flush by FlushFolders (a folder
  // met again by another handle counts once).
  void AddFolder(const TFolderHandle& folder);
  // Flushes every folder noted since the last call, each once, and forgets them.
  void FlushFolders();
  bool HasFolders() const { return !folders_.empty(); }

 private:
  // By device and inode: the same folder reached by different paths is one.
  std::map<std::pair<dev_t, ino_t>, TFolderHandle> folders_;
};

}  // namespace hovrak
