#pragma once
// The check of the split target box before a search starts.

#include "core/StringVector.h"

namespace hovrak {

// 0 when a search may start; otherwise the message row to show: 54 for no path,
// 55 for several paths of which any is an existing folder.
int CheckTargets(const TStringVector& paths);

}  // namespace hovrak
