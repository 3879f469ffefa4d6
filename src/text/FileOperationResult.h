#pragma once
// Outcome of loading or saving a text file, shared with the run drivers and the file
// error dialog.

#include <iosfwd>

// Underlying type int, so that callbacks may declare it ahead of this header.
enum class TFileOperationResult : int {
  Success = 0,
  OpenFailed = 1,
  BinaryFile = 2,
  CharCodeMismatch = 3,
  ModifiedSinceSearch = 4,  // set by the replace run, never by the file object
  TooLarge = 5,
};

// Writes the identifier ("Success", "OpenFailed", ...), or the number for other values.
std::ostream& operator<<(std::ostream& os, TFileOperationResult result);
