#pragma once
// Deleting below a folder without ever leaving it. The backup index comes from a
// file anyone can edit, and folders inside the backup folder may have been swapped
// for symbolic links; these calls walk each path component without following links,
// so nothing outside the given root can be touched.

#include <string>

namespace hovrak {

// True when the text is a relative path that stays below its starting folder: not
// empty, no leading '/', no "." or ".." component, no NUL byte. Empty components
// ("a//b") are allowed and mean nothing.
bool IsConfinedRelativePath(const std::string& relative);

// True for one plain folder name: not empty, not "." or "..", no '/' or NUL byte.
bool IsPlainName(const std::string& name);

// Deletes the file root/relative. Folders on the way and the entry itself are not
// followed when they are symbolic links (a link is deleted as itself). False when
// relative breaks IsConfinedRelativePath or the deletion fails.
bool DeleteFileBelow(const std::string& root, const std::string& relative);

// Removes the folder root/name and every folder below it that is empty once the
// folders below it are gone; files and the folders holding them stay. Symbolic
// links are never followed. False when name is not a plain name or root/name could
// not be removed.
bool RemoveEmptyTreeBelow(const std::string& root, const std::string& name);

}  // namespace hovrak
