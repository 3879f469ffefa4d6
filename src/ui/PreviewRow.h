#pragma once
// One row of the replace preview: where the place is, and its line before and after
// the replacement in three parts, so the changed part can be marked.

#include <QString>

struct TPreviewRow {
  QString File;         // relative to the display base
  QString Line;         // 1-based
  QString Prev;         // the line before the hit
  QString Hit;          // what is replaced (line feeds as "↓ ")
  QString Replacement;  // what replaces it
  QString Next;         // the line after the hit
};
