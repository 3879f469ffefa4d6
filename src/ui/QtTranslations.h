#pragma once
// Qt's own texts in Japanese, as every text of ours is: the buttons of the message
// boxes (はい, いいえ, キャンセル), the file and folder dialogs (their labels, buttons
// and dates). Installed once at start, before any window exists.

class QCoreApplication;

namespace hovrak {

// Loads Qt's Japanese translations from Qt's translations folder and makes Japanese
// the default locale. False when the translations are not installed (Qt's English
// texts stay).
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace hovrak
