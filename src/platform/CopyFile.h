#pragma once
// Copies one regular file the way the backup store needs it: the bytes, the
// last-write time and the permission bits, replacing any file of the target's name.

#include <string>

namespace hovrak {

// Copies source to target, overwriting target. The copy is written to a temporary
// file beside the target, flushed to disk and then renamed over the target, so a
// failed copy never leaves a partial file under the target's name and a symbolic
// link at the target is replaced, not followed. The target's folder must exist.
// False when the source is not a readable regular file or any step fails.
bool CopyFile(const std::string& source, const std::string& target);

}  // namespace hovrak
