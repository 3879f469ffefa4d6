#pragma once
// The hand-over side file: the arguments a later start passes to the running
// instance, one per line, each line ended by LF. An argument holding a line break
// thus arrives as two.

#include <string>
#include <vector>

namespace hovrak {

// Creates or empties the file (mode 0600: arguments may name private files) and
// writes the arguments; false when it cannot be written whole.
bool WriteSideFile(const std::string& path, const std::vector<std::string>& args);

// Each line without its line end (LF, or CR LF) is one argument; the text after the
// last LF is one more when not empty. A file that cannot be read gives none.
std::vector<std::string> ReadSideFile(const std::string& path);

}  // namespace hovrak
