#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Utf8Locale.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  ::testing::InitGoogleTest(&argc, argv);
  // Tests never read or write the user's settings folder.
  const TTempDir home;
  setenv("MIRUN_HOME", home.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
