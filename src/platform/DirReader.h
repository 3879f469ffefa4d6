#pragma once
// Reads the entries of one folder in the order the system returns them, and tells
// files from folders the way the folder walks of the file set need it.

#include <dirent.h>

#include <string>

namespace hovrak {

enum class TDirEntryKind {
  File,    // a regular file, or a symbolic link to one
  Folder,  // a folder entered by the walk; a symbolic link to a folder is not one
  Other,   // links to folders, broken links, devices, FIFOs, sockets
};

class TDirReader {
 public:
  // A folder that cannot be opened (missing, unreadable, not a folder) reads as empty.
  explicit TDirReader(const std::string& folder);
  ~TDirReader();
  TDirReader(const TDirReader&) = delete;
  TDirReader& operator=(const TDirReader&) = delete;

  bool IsOpen() const { return dir_ != nullptr; }
  // Moves to the next entry other than "." and ".."; false at the end or on a read
  // error.
  bool Next();
  // The errno of a failed open or read; 0 while neither failed.
  int Error() const { return error_; }
  // Name of the current entry.
  const char* Name() const { return entry_->d_name; }
  // Kind of the current entry. Costs a stat only for links and for file systems that
  // do not report the entry type.
  TDirEntryKind Kind() const;

 private:
  DIR* dir_ = nullptr;
  dirent* entry_ = nullptr;
  int error_ = 0;
};

}  // namespace hovrak
