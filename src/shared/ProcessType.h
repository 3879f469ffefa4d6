#pragma once
// The kinds of work a run reports as progress, and the progress callback the main
// window installs on the core and the core copies into each file set.

#include <string>

#include <boost/function.hpp>

enum class TProcessType : int {
  Listing = 0,    // file enumeration, once per folder
  Searching = 1,  // the search loop, once per file
  BackingUp = 2,  // the replace run, once before backing up
  Replacing = 3,  // the replace run, once per rewritten file
};

// (kind, path, index, count). The handler may raise EStoppedException to stop the run.
using TProcessEvent = boost::function<void(TProcessType kind, const std::string& path, int index, int count)>;
