#include "core/TargetCheck.h"

namespace hovrak {

int CheckTargets(const TStringVector& paths) { return paths.empty() ? 54 : 0; }

}  // namespace hovrak
