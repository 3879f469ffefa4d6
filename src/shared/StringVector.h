#pragma once
// A list of narrow (system code page) strings: paths, filters, submatches.

#include <string>
#include <vector>

using TStringVector = std::vector<std::string>;
