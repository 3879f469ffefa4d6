#pragma once
// Why a run passed over a file or folder without asking, and the callback that
// tells the front end about it.

#include <string>

#include <boost/function.hpp>

enum class TSkipReason : int {
  TooLarge = 0,          // a file over the search's size limit
  FolderUnreadable = 1,  // a folder of the listing that could not be read
  PathTooLong = 2,       // a path of the listing too long for the system to open
};

// (path, reason). Called once per skipped file or folder; may be empty.
using TSkippedEvent = boost::function<void(const std::string& path, TSkipReason reason)>;
