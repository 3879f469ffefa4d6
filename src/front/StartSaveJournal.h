#pragma once
// What each front end does first: tidies up after the runs that were killed while
// they saved (puts torn files right, removes their temporary files) and keeps this
// process's own journal of its saves, both in the settings folder.

#include <vector>

#include "platform/SaveJournal.h"

namespace hovrak {

// Returns what the user should hear of (hovrak::TRecoveredSave).
std::vector<TRecoveredSave> StartSaveJournal();

}  // namespace hovrak
