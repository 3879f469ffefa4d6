#pragma once
// Copies one regular file the way the backup store needs it: the bytes, the
// last-write time and the permission bits, replacing any file of the target's name.

#include <cstdint>
#include <functional>
#include <string>

namespace hovrak {

class TSaveGroup;

// What was copied: the number of bytes and their content hash (TContentHash).
struct TCopiedFile {
  std::uint64_t Size = 0;
  std::uint64_t Hash = 0;
};

// Copies source to target, overwriting target. The copy is written to a temporary
// file beside the target, flushed to disk and then renamed over the target, so a
// failed copy never leaves a partial file under the target's name and a symbolic
// link at the target is replaced, not followed; the temporary file is recorded in
// the save journal while it exists. The target's folder must exist.
// False when the source is not a readable regular file or any step fails.
bool CopyFile(const std::string& source, const std::string& target);
// The same, returning 0 or the errno value of the step that failed (EINVAL for a
// source that is not a regular file). progress is called after every 4 MiB copied;
// when it throws, the partial copy is removed and the exception passes on. copied,
// when given, receives the size and hash of the bytes copied. With group, the copy
// written whole joins it and the group flushes and renames it (its result there
// tells whether the copy was made); the copy is not made before that.
int CopyFileReporting(const std::string& source, const std::string& target, const std::function<void()>& progress = {},
                      TCopiedFile* copied = nullptr, TSaveGroup* group = nullptr);

}  // namespace hovrak
