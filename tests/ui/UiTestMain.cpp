#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Utf8Locale.h"
#include "ui/Application.h"
#include "ui/QtTranslations.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  // Windows are real but never need a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The program's application class, so that tests see its exception handling.
  TApplication application(argc, argv);
  // Qt's own texts in Japanese, as the program has them.
  hovrak::InstallQtTranslations(application);
  ::testing::InitGoogleTest(&argc, argv);
  const TTempDir home;
  setenv("MIRUN_HOME", home.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
