#pragma once
// Durable whole-file replacement shared by every saver (text files, the settings file,
// CSV output): a failed or interrupted save leaves the old contents, never a torn file.

#include <cstddef>
#include <string>

namespace hovrak {

// Replaces the contents of the file at path with the given bytes, or creates the file
// when it does not exist yet. Returns 0 on success, else an errno value.
//
// The bytes go to a temporary file in the same folder, which is flushed to disk and
// renamed over the file; then the folder is flushed. The file's permission bits (and
// owner and group where the process may set them) carry over. A symbolic link is
// followed and its target replaced. Where no temporary file can be made beside the
// file, or the file has several hard links, the file is rewritten in place instead,
// with its new size reserved first so that a full disk fails before any byte changes.
//
// Refused with EACCES: an existing file without any write bit in its mode (also when
// running as root) or one the process may not write. Refused with EISDIR or EINVAL:
// a folder or another file that is not a regular file. On every failure the file keeps
// its previous bytes and no temporary file stays behind.
int SafeWriteFile(const std::string& path, const char* data, std::size_t size);
int SafeWriteFile(const std::string& path, const std::string& bytes);

}  // namespace hovrak
