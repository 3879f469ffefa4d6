#pragma once
// The program's icon, drawn by the program itself: a page of text under a
// magnifying glass, at every size from 16 to 256 pixels.

#include <QIcon>
#include <QImage>

namespace hovrak {

// The icon at 16, 24, 32, 48, 64, 128 and 256 pixels.
QIcon ProgramIcon();
// One size of it, drawn for that size (thin lines stay visible when small).
QImage ProgramIconImage(int size);

}  // namespace hovrak
