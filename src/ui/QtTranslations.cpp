#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace hovrak {

bool InstallQtTranslations(QCoreApplication& application) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  // Dates and numbers in the file dialogs follow the default locale.
  QLocale::setDefault(japanese);
  auto* translator = new QTranslator(&application);
  if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace hovrak
