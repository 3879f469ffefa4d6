#pragma once
// Small questions and changes on paths: the folder and the name a path is made of,
// whether a name is taken, how large a file is, and creating a folder with its parents.

#include <cstdint>
#include <string>

namespace hovrak {

// The folder that holds the entry a path names, for opening it: "." for a bare name
// (the current folder), "/" for an entry of the root. A path that ends in a slash
// names no entry; its folder is the path without that last slash.
std::string FolderOf(const std::string& path);
// What follows the last slash: the whole path when it has none, "" after a final slash.
std::string NameOf(const std::string& path);
// For a path relative to a base folder: what stands before the last slash, "" for a
// bare name (the base itself, where "." would be no component of a confined walk).
std::string FolderPartOf(const std::string& relative);

// True when anything has that name: a file, a folder, a symbolic link (even one
// that leads nowhere) or any other entry.
bool PathExists(const std::string& path);

// The path made absolute by putting the current folder in front of a relative one,
// with "." components and repeated slashes taken out (".." stays: a symbolic link
// may stand before it).
std::string AbsolutePath(const std::string& path);

// The size of the file the path leads to (st_size). False, size untouched, when it
// cannot be queried.
bool FileSizeOnDisk(const std::string& path, std::uint64_t& size);

// Creates the folder and every missing parent with the given permission bits (the
// umask applies). True when the path is a folder afterwards.
bool CreateFolders(const std::string& path, unsigned mode);
// The same, returning 0 or the errno value of the step that failed (ENOTDIR when a
// file stands where a folder should be).
int CreateFoldersReporting(const std::string& path, unsigned mode);

}  // namespace hovrak
