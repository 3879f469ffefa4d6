#include "text/FileOperationResult.h"

#include <ostream>

std::ostream& operator<<(std::ostream& os, TFileOperationResult result) {
  static const char* const kNames[] = {"Success",          "OpenFailed",          "BinaryFile",
                                       "CharCodeMismatch", "ModifiedSinceSearch", "TooLarge"};
  const auto value = static_cast<unsigned>(result);
  if (value < sizeof kNames / sizeof kNames[0]) return os << kNames[value];
  return os << value;
}
