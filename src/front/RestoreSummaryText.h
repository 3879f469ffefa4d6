#pragma once
// The summary a window shows after the undo of a replace: how many files went back,
// were already as before or were skipped, each file that could not be restored with
// its reason, and the unit that now holds the files the restore overwrote.

#include <cstddef>
#include <string>

#include "backup/RestoreReport.h"

namespace hovrak {

struct TRestoreSummary {
  std::string Text;
  // Some file could not be restored, or the restore could not be recorded.
  bool Problems = false;
};

// settingsPath is named when the index could not be kept, baseDir (the unit's base
// folder) when it was refused; at most listed problem files are named, the rest
// counted.
TRestoreSummary RestoreSummaryText(const TRestoreReport& report, const std::string& settingsPath,
                                   std::size_t listed = 20, const std::string& baseDir = std::string());

}  // namespace hovrak
