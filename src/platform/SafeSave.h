#pragma once
// Durable whole-file replacement shared by every saver (text files, the settings file,
// CSV output): a failed or interrupted save leaves the old contents, never a torn file.

#include <cstddef>
#include <string>

#include "platform/FileIdentity.h"

namespace hovrak {

// What a caller may add to a save.
struct TSafeWriteOptions {
  // The state the file had when the caller read it. When known and the file is no
  // longer in that state right before it would be replaced, nothing is written and
  // the save fails with ESTALE: someone else wrote it meanwhile.
  TFileIdentity Expected;
  // Set to the path of the complete copy of the old bytes that an in-place rewrite
  // leaves behind when it fails and cannot put the old bytes back; empty otherwise.
  std::string* RescuePath = nullptr;
};

// Steps of a save at which a test may stop the process ("copy" old bytes kept
// aside, "reserve" new size reserved, "write" one chunk written, "done" data on
// disk), and the chunk size it writes in. For tests only; null in normal runs.
using TSafeSaveHook = void (*)(const char* step);
void SetSafeSaveTestHook(TSafeSaveHook hook, std::size_t chunkSize = 0);

// Replaces the contents of the file at path with the given bytes, or creates the file
// when it does not exist yet. Returns 0 on success, else an errno value.
//
// The bytes go to a temporary file in the same folder, which is flushed to disk and
// renamed over the file; then the folder is flushed. The file's permission bits (and
// owner and group where the process may set them) carry over. A symbolic link is
// followed and its target replaced. Where no temporary file can be made beside the
// file, or the file has several hard links, the file is rewritten in place instead,
// with its new size reserved first so that a full disk fails before any byte changes,
// and with a complete, flushed copy of the old bytes kept beside the file (or in the
// temporary folder) until the new bytes are on disk: at every moment either the file
// is whole or that copy is. A save that cannot make such a copy is refused.
//
// Refused with EACCES: an existing file without any write bit in its mode (also when
// running as root) or one the process may not write. Refused with EISDIR or EINVAL:
// a folder or another file that is not a regular file. On every failure the file keeps
// its previous bytes and no temporary file stays behind.
int SafeWriteFile(const std::string& path, const char* data, std::size_t size,
                  const TSafeWriteOptions& options = TSafeWriteOptions());
int SafeWriteFile(const std::string& path, const std::string& bytes,
                  const TSafeWriteOptions& options = TSafeWriteOptions());

}  // namespace hovrak
