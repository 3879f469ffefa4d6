#pragma once
// The answer the command line gives, by --on-error, to every file that fails a check
// during a run or a restore, in place of the question the windows ask.

#include "shared/Decision.h"

namespace hovrak {

enum class TOnErrorPolicy { Skip, Force, Abort };

// The decision for one failure; forcible: whether Force can answer it. Force where
// nothing can be forced is Skip.
TDecision OnErrorDecision(TOnErrorPolicy policy, bool forcible);

}  // namespace hovrak
