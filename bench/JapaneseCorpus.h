#pragma once
// Generates real-looking Japanese text for benchmarks: sentences built from common
// words and particles, with ASCII words and line feeds mixed in, from a fixed seed.

#include <cstddef>
#include <string>

// About units UTF-16 units of text.
std::wstring MakeJapaneseText(std::size_t units, unsigned seed = 12345);
