#pragma once
// A file that a replace run meant to rewrite and did not, and why: the front end
// tells failures (the file could not be read or written) from the user's own skips.

#include <string>

#include "text/FileOperationResult.h"

struct TReplaceFailure {
  std::string Path;
  // What stopped it: OpenFailed or TooLarge for a file that could not be read or
  // written, the result the user chose to skip otherwise.
  TFileOperationResult Result = TFileOperationResult::OpenFailed;
  // The system error behind it (0: none known).
  int Error = 0;
  // True when the write failed (the file is as it was before the run).
  bool WriteFailed = false;
  // Where a complete copy of the old bytes was left when a failed in-place write
  // could not put them back; empty otherwise.
  std::string RescuePath;

  // True for a file that could not be read or written, false for a skip chosen by
  // the user.
  bool IsError() const {
    return WriteFailed || Result == TFileOperationResult::OpenFailed || Result == TFileOperationResult::TooLarge;
  }
};
