#pragma once
// How the windows show the raw bytes of narrow (ASCII-mode) places: as UTF-8 when
// they are valid UTF-8, else decoded as code page 932, so Shift-JIS files stay
// readable. Display only.

#include <string>

namespace hovrak {

// The bytes as UTF-8 text for the screen. Bytes that are UTF-8 but for a character
// cut at either end (a context cut after a fixed number of bytes) show without the
// cut pieces rather than falling to code page 932.
std::string DisplayBytes(const std::string& bytes);

}  // namespace hovrak
