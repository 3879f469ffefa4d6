#include "platform/SaveGroup.h"

#include <cerrno>

#include "platform/SafeSave.h"

namespace hovrak {

std::size_t TSaveGroup::MaxFiles = 64;
std::uint64_t TSaveGroup::MaxBytes = std::uint64_t(32) << 20;

void TSaveGroup::Stage(const TFolderHandle& folder, const std::string& temp, const std::string& name,
                       TFileDescriptor fd, const TFileIdentity& expected, std::uint64_t hash, std::uint64_t size,
                       bool inPlace) {
  TEntry entry;
  entry.Temp = temp;
  entry.Name = name;
  entry.Expected = expected;
  entry.InPlace = inPlace;
  entry.Result.Hash = hash;
  if (const int err = folder.Duplicate(entry.Folder)) {
    // Without a handle of its own the save cannot wait for the group: it fails whole.
    folder.RemoveTemp(temp);
    entry.Result.Error = err;
    entry.Done = true;
  } else {
    entry.Fd = std::move(fd);
  }
  bytes_ += size;
  entries_.push_back(std::move(entry));
}

void TSaveGroup::AddDone(const TResult& result) {
  TEntry entry;
  entry.Result = result;
  entry.Done = true;
  entries_.push_back(std::move(entry));
}

std::vector<TSaveGroup::TResult> TSaveGroup::Commit() {
  std::vector<int> fds;
  std::vector<std::size_t> staged;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Done) continue;
    fds.push_back(entries_[i].Fd.Get());
    staged.push_back(i);
  }
  std::vector<int> errors;
  TDurableGroup::FlushFiles(fds, errors);
  if (!fds.empty()) SafeSaveStep("flushed");
  for (std::size_t j = 0; j < staged.size(); ++j) {
    TEntry& entry = entries_[staged[j]];
    entry.Done = true;
    int err = errors[j];
    if (err) {
      entry.Folder.RemoveTemp(entry.Temp);
    } else {
      bool renamed = false;
      err = FinishStagedSave(entry.Folder, entry.Temp, entry.Name, entry.Fd.Get(), entry.Expected, entry.InPlace,
                             renamed, entry.Result.Written, entry.Result.RescuePath);
      if (renamed) folders_.AddFolder(entry.Folder);
    }
    entry.Result.Error = err;
    entry.Fd.Reset();
  }
  if (folders_.HasFolders()) {
    folders_.FlushFolders();
    SafeSaveStep("synced");
  }
  std::vector<TResult> results;
  results.reserve(entries_.size());
  for (TEntry& entry : entries_) results.push_back(std::move(entry.Result));
  entries_.clear();
  bytes_ = 0;
  return results;
}

void TSaveGroup::Discard() {
  for (TEntry& entry : entries_)
    if (!entry.Done) entry.Folder.RemoveTemp(entry.Temp);
  entries_.clear();
  bytes_ = 0;
  folders_.FlushFolders();
}

}  // namespace hovrak
