#pragma once
// What a backup made of the files a replace run is about to change: whether a unit
// was made, which copies could not be made and why, and whether the index could be
// kept. A replace goes on only when every file has its copy, or the user agrees.

#include <string>
#include <vector>

#include <boost/date_time/posix_time/ptime.hpp>

struct TBackupFailure {
  std::string Path;  // the file whose copy is missing
  int Error = 0;     // errno value of the step that failed
};

// An older unit that pruning deleted to make room, as the user knew it.
struct TPrunedUnit {
  std::string Name;
  boost::posix_time::ptime Time;
  std::string BaseDir;
};

struct TBackupReport {
  // The size question was declined (or not installed): no backup, by choice.
  bool Declined = false;
  // The name of the unit made, empty when none was made.
  std::string UnitName;
  // Files whose copy could not be made; the unit lists only the copies that exist.
  std::vector<TBackupFailure> Failures;
  // errno value when the index could not be kept (0: kept).
  int IndexError = 0;
  // Older units deleted after the new one was made, oldest first.
  std::vector<TPrunedUnit> Pruned;

  bool Complete() const { return Failures.empty() && IndexError == 0; }
};
