#pragma once
// The rule for the input histories the settings file keeps (paths, filters, search
// and replacement strings): at most 50 entries, newest first, no duplicates, no
// line breaks.

#include <cstddef>
#include <string>

#include "shared/StringVector.h"

namespace hovrak {

constexpr std::size_t kMaxHistoryItems = 50;

// Puts an entered text at the top of a history. Carriage returns and line feeds
// are removed from the text first; an equal entry (exact, case-sensitive) moves to
// the top instead of appearing twice; entries beyond the 50th are dropped from the
// end. Empty texts are kept like any other. Returns the cleaned text, which the
// caller shows as the box's text.
std::string AddToHistory(TStringVector& history, const std::string& text);

}  // namespace hovrak
