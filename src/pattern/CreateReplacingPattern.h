#pragma once
// The replacing-pattern factory: a template in regular-expression mode, otherwise a
// fixed string (with escapes expanded when the option is on). Never fails.

#include <memory>

#include "pattern/AbstractReplacingPattern.h"
#include "pattern/ReplaceInfo.h"

// Returns a TReplacingPattern<wchar_t> when info.IsWide, else TReplacingPattern<char>.
std::unique_ptr<TAbstractReplacingPattern> CreateReplacingPattern(const TReplaceInfo& info);
