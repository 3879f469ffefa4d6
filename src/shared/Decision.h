#pragma once
// The answer to a file that failed a check during a run, and the callback that asks
// for it.

#include <string>

#include <boost/function.hpp>

enum class TDecision : int {
  Retry = 0,
  Skip = 1,
  Force = 2,
  Abort = 3,
};

// Outcome of loading or saving a text file; defined with the text file.
enum class TFileOperationResult;

// (path, result, error) -> decision; error is the system's errno value behind the
// result, 0 when none is known. When no handler is set the run skips the file.
using TFileErrorEvent = boost::function<TDecision(const std::string& path, TFileOperationResult result, int error)>;
