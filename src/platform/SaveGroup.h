#pragma once
// Saves and copies made durable in groups: each new file is written whole beside its
// name first, then the files of the group are flushed together, then each is checked
// and renamed into place in the order staged, then every folder touched is flushed
// once. A crash at any moment leaves each file old or new, never torn, and a new
// name never shows before its bytes are on disk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DurableGroup.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIdentity.h"
#include "platform/FolderHandle.h"

namespace hovrak {

class TSaveGroup {
 public:
  // Bounds of a group: the work a crash can lose and the memory and descriptors held
  // (64 files, 32 MiB). Tests lower them.
  static std::size_t MaxFiles;
  static std::uint64_t MaxBytes;

  // How one save of the group ended: 0 or an errno value (ESTALE: the file changed
  // before its switch); on success the state of the file as written and the content
  // hash of its bytes; the path of the copy of the old bytes a failed in-place
  // rewrite left.
  struct TResult {
    int Error = 0;
    TFileIdentity Written;
    std::uint64_t Hash = 0;
    std::string RescuePath;
  };

  TSaveGroup() = default;
  TSaveGroup(const TSaveGroup&) = delete;
  TSaveGroup& operator=(const TSaveGroup&) = delete;
  // What is still staged is dropped: the temporary files go, the names keep their files.
  ~TSaveGroup() { Discard(); }

  // Saves and copies in the group, and the bytes staged; Full once either bound is met.
  std::size_t Count() const { return entries_.size(); }
  std::uint64_t Bytes() const { return bytes_; }
  bool Full() const { return Count() >= MaxFiles || bytes_ >= MaxBytes; }

  // The temporary file temp of folder (open as fd), written whole with its owner, mode
  // and times, is to replace name; when expected is known, only while name is still
  // in that state. inPlace: an existing file whose folder refuses the rename is
  // rewritten in place instead.
  void Stage(const TFolderHandle& folder, const std::string& temp, const std::string& name, TFileDescriptor fd,
             const TFileIdentity& expected, std::uint64_t hash, std::uint64_t size, bool inPlace);
  // A save that ended on its own; its result keeps its place in the order.
  void AddDone(const TResult& result);

  // Ends every save of the group as described above; the results in the order staged.
  // The group is empty afterwards.
  std::vector<TResult> Commit();
  // Drops what is staged without switching any name.
  void Discard();

 private:
  struct TEntry {
    TFolderHandle Folder;
    std::string Temp;
    std::string Name;
    TFileDescriptor Fd;
    TFileIdentity Expected;
    bool InPlace = false;
    TResult Result;
    // Ended already (AddDone, or a stage that could not keep its folder).
    bool Done = false;
  };
  std::vector<TEntry> entries_;
  std::uint64_t bytes_ = 0;
  TDurableGroup folders_;
};

}  // namespace hovrak
