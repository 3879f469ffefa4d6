#pragma once
// The caption of the main window's message boxes and questions.

#include <QString>

namespace hovrak {

inline QString MessageCaption() { return QStringLiteral("Mirun"); }

}  // namespace hovrak
