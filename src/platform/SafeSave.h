#pragma once
// Durable whole-file replacement shared by every saver (text files, the settings file,
// CSV output, the restore of a backup): a failed or interrupted save leaves the old
// contents, never a torn file.

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileIdentity.h"

namespace hovrak {

class TFolderHandle;
class TSaveGroup;

// What a caller may add to a save, and what it learns of it.
struct TSafeWriteOptions {
  // The state the file had when the caller read it. When known and the file is no
  // longer in that state right before it would be replaced, nothing is written and
  // the save fails with ESTALE: someone else wrote it meanwhile.
  TFileIdentity Expected;
  // Set to the path of the complete copy of the old bytes that an in-place rewrite
  // leaves behind when it fails and cannot put the old bytes back; empty otherwise.
  std::string* RescuePath = nullptr;
  // Permission bits of the file written (07777 at most); -1 keeps those of the file
  // replaced, and a new file gets 0666 less the umask.
  int Mode = -1;
  // Access and modification times of the file written (two entries, as futimens
  // takes them); null leaves the times of the write.
  const timespec* Times = nullptr;
  // An entry that is a symbolic link is replaced by the new file itself (the file
  // it points to stays as it is); otherwise such an entry fails with ELOOP.
  bool ReplaceLink = false;

  // Where the save joins a group instead of ending on its own: the new file is
  // written whole but not yet flushed nor switched, and the group (TSaveGroup)
  // flushes it with the others, checks Expected again and renames it. A save by an
  // in-place rewrite ends at once and only its result joins the group. Written and
  // Hash are then left alone: the group's results tell them.
  TSaveGroup* Group = nullptr;

  // Filled after a successful save: the state of the file as written (with its
  // mode and times), and a content hash (TContentHash) of the bytes.
  TFileIdentity* Written = nullptr;
  std::uint64_t* Hash = nullptr;
};

// Steps of a save at which a test may act ("copy" old bytes kept aside, "reserve"
// new size reserved, "write" one chunk written, "done" data on disk, "renamed" new
// file in place; in a group "staged" new file written, "flushed" the group's files on
// disk, "synced" its folders on disk), and the chunk size it writes in. A hook that returns an errno
// value makes the next reservation or write fail with it. For tests only; null in
// normal runs.
using TSafeSaveHook = int (*)(const char* step);
void SetSafeSaveTestHook(TSafeSaveHook hook, std::size_t chunkSize = 0);
// Tells the test hook of a step taken elsewhere in a save; its errno value or 0.
int SafeSaveStep(const char* step);

// The end of a save staged in a group, once the temporary file temp (open as fd) is
// on disk: the last look that name is still in the expected state (ESTALE if not),
// then the rename over name. When a sticky folder refuses the rename of an existing
// file and inPlace allows it, the file is rewritten in place instead, with the bytes
// of the temporary file (rescue receives the path of a copy such a rewrite left).
// The temporary file is gone afterwards unless it became the file. 0 or an errno
// value; renamed tells whether the folder's entries changed, written receives the
// state of the file as written.
int FinishStagedSave(const TFolderHandle& folder, const std::string& temp, const std::string& name, int fd,
                     const TFileIdentity& expected, bool inPlace, bool& renamed, TFileIdentity& written,
                     std::string& rescue);

// Replaces the contents of the entry name of the folder with the given bytes, or
// creates it when it does not exist yet. Every step goes through the folder's
// descriptor or the open file: the name is never looked up through a link, and
// nothing after the switch touches it. Returns 0 on success, else an errno value.
//
// The bytes go to a temporary file in the folder, which gets its owner, mode and
// times, is flushed to disk and renamed over the entry; then the folder is flushed.
// The file's permission bits (and owner and group where the process may set them)
// carry over unless Mode says otherwise. Where no temporary file can be made, or
// the file has several hard links, the file is rewritten in place instead, with its
// new size reserved first so that a full disk fails before any byte changes, and
// with a complete, flushed copy of the old bytes kept beside the file (or in the
// temporary folder) until the new bytes are on disk, recorded in the save journal:
// at every moment either the file is whole or that copy is, and a killed run's copy
// is found by the next start. A save that cannot make such a copy is refused.
//
// Refused with EACCES: an existing file without any write bit in its mode (also when
// running as root) or one the process may not write. Refused with EISDIR or EINVAL:
// a folder or another file that is not a regular file. On every failure the file keeps
// its previous bytes and no temporary file stays behind.
int SafeWriteAt(const TFolderHandle& folder, const std::string& name, const char* data, std::size_t size,
                const TSafeWriteOptions& options = TSafeWriteOptions());

// SafeWriteAt on the file a path names: symbolic links at the path are followed (to
// where they lead now, once) and the file they end at is replaced; a dangling link
// gets its target created. Its folder is then held as for SafeWriteAt.
int SafeWriteFile(const std::string& path, const char* data, std::size_t size,
                  const TSafeWriteOptions& options = TSafeWriteOptions());
int SafeWriteFile(const std::string& path, const std::string& bytes,
                  const TSafeWriteOptions& options = TSafeWriteOptions());

}  // namespace hovrak
