#include "ui/UiText.h"

#include <QFontDatabase>
#include <QStringList>

namespace hovrak {

QString Msg(TMsg row) { return QString::fromUtf8(MessageTable(row)); }

QString Msg(int row) { return QString::fromUtf8(MessageTable(row)); }

QString FromNarrow(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

std::string ToNarrow(const QString& text) { return text.toUtf8().toStdString(); }

QFont JapaneseFont(bool monospace, int pixelSize) {
  const QString family = monospace ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic");
  QFont font;
  if (QFontDatabase::families().contains(family)) {
    font = QFont(family);
  } else {
    font = QFontDatabase::systemFont(monospace ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
  }
  if (monospace) font.setStyleHint(QFont::Monospace);
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace hovrak
