#pragma once
// The check of the split target box before a search starts.

#include <string>

#include "shared/StringVector.h"

namespace hovrak {

// 0 when a search may start; otherwise the number of the message row to show:
// TMsg::NoTargetGiven for no path, TMsg::OneFolderOnly for several paths of which any
// is an existing folder.
int CheckTargets(const TStringVector& paths);

// What to say instead of searching when the only target does not exist (a mistyped
// folder, say): the path and the system's reason. "" when it exists, and for several
// targets, which the search asks about one by one.
std::string MissingTargetText(const TStringVector& paths);

}  // namespace hovrak
