#pragma once
// How the windows show the raw bytes of narrow (ASCII-mode) places: as UTF-8 when
// they are valid UTF-8, else decoded as code page 932, so Shift-JIS files stay
// readable. Display only.

#include <string>

namespace hovrak {

// The bytes as UTF-8 text for the screen.
std::string DisplayBytes(const std::string& bytes);

}  // namespace hovrak
