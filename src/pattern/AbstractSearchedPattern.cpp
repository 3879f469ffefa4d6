#include "pattern/AbstractSearchedPattern.h"

#include "pattern/Utf8PlainSearch.h"

std::unique_ptr<TUtf8PlainSearch> TAbstractSearchedPattern::MakeByteSearch() const { return nullptr; }
