#pragma once
// A folder held by an open descriptor. Every later step on an entry in it (look,
// open, create, rename, remove, flush) names that same folder however its path is
// changed meanwhile, and never follows a symbolic link at the entry: the writes of a
// replace and of a restore go through it, so that a name swapped for a link between
// two steps can never turn one step into a change of another file.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/FileDescriptor.h"

namespace hovrak {

class TFolderHandle {
 public:
  TFolderHandle() = default;
  TFolderHandle(TFolderHandle&&) = default;
  TFolderHandle& operator=(TFolderHandle&&) = default;

  // Opens the folder at path, following symbolic links on the way (the caller's own
  // way to its files). 0 or an errno value (ENOTDIR for something else).
  int Open(const std::string& path);
  // Opens base as Open does, then each component of relative below it without ever
  // following a symbolic link; with create, missing folders are made with mode (the
  // umask applies). 0, or an errno value: ELOOP when a component is a symbolic link,
  // ENOTDIR when it is something else than a folder, ENOENT when it is missing.
  // failedAt, when given, receives how many components were opened before the one
  // that failed.
  int OpenBelow(const std::string& base, const std::string& relative, bool create = false, unsigned mode = 0777,
                std::size_t* failedAt = nullptr);

  bool IsOpen() const { return fd_.Get() >= 0; }
  // A second handle on the same folder (its own descriptor, the same path), for a
  // step that outlives this one. 0 or an errno value.
  int Duplicate(TFolderHandle& copy) const;
  int Fd() const { return fd_.Get(); }
  // The path the folder was opened by, made absolute, and the path of an entry in it.
  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& name) const;

  // The entry itself, a symbolic link not followed. 0 or an errno value.
  int Stat(const std::string& name, struct stat& st) const;
  // Opens an entry with the given flags (O_NOFOLLOW and O_CLOEXEC added: a link
  // gives ELOOP). The descriptor, or -1 with errno set.
  int OpenEntry(const std::string& name, int flags, unsigned mode = 0) const;
  // Makes a new file named prefix + six random letters and digits, open for reading
  // and writing with mode 0600, and records it in the save journal until
  // RemoveTemp or RenameTemp. The descriptor, or -1 with errno set; name receives
  // the new entry's name.
  int CreateTemp(const std::string& prefix, std::string& name) const;
  // Removes a file CreateTemp made.
  void RemoveTemp(const std::string& name) const;
  // Renames a file CreateTemp made over target in this folder (a symbolic link
  // there is replaced, never followed). 0 or an errno value; on failure the
  // temporary file is still there.
  int RenameTemp(const std::string& temp, const std::string& target) const;
  // Flushes the folder's entries to disk. Some file systems refuse it on folders;
  // what was renamed stays renamed, so errors are not reported.
  void Sync() const;

  // Six random letters and digits, as temporary names use.
  static std::string RandomSuffix();
  // The non-empty components of a relative path, in order ("a//b/" gives a, b).
  static std::vector<std::string> Components(const std::string& relative);

 private:
  TFileDescriptor fd_;
  std::string path_;
};

}  // namespace hovrak
