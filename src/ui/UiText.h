#pragma once
// Texts and fonts of the windows: message-table rows as QString, conversions
// between the system code page (UTF-8) and QString, and the Japanese fonts.

#include <string>

#include <QFont>
#include <QString>

#include "shared/MessageTable.h"

namespace hovrak {

// Row of the message table; by number for a row computed as a number.
QString Msg(TMsg row);
QString Msg(int row);
// UTF-8 (the system code page) to QString and back.
QString FromNarrow(const std::string& text);
std::string ToNarrow(const QString& text);
// The platform's Japanese proportional or monospace font at the given pixel size
// (IPAPGothic / IPAGothic when fontconfig has them).
QFont JapaneseFont(bool monospace, int pixelSize = 12);

}  // namespace hovrak
