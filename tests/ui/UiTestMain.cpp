#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Utf8Locale.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  // Windows are real but never need a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const TTempDir home;
  setenv("MIRUN_HOME", home.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
