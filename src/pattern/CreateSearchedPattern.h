#pragma once
// The searched-pattern factory: compiles a search string by mode and options.

#include <memory>

#include "pattern/AbstractSearchedPattern.h"
#include "pattern/SearchInfo.h"

// Returns a TSearchedPattern<wchar_t> when info.IsWide, else TSearchedPattern<char>.
// Raises EInvalidSearchedPattern when the string does not compile.
std::unique_ptr<TAbstractSearchedPattern> CreateSearchedPattern(const TSearchInfo& info);
