// The desktop program: creates the windows, runs the event loop, writes the
// settings at normal exit. An exception that escapes a handler ends the program
// without writing the settings (TApplication).

#include <string>
#include <vector>

#include "platform/SettingsFolder.h"
#include "platform/Utf8Locale.h"
#include "ui/Application.h"
#include "ui/ProgramIcon.h"
#include "ui/frmMain.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  TApplication application(argc, argv);
  TApplication::setApplicationName(QStringLiteral("Mirun"));
  TApplication::setWindowIcon(hovrak::ProgramIcon());
  const std::vector<std::string> args(argv + 1, argv + argc);
  int rc = 1;
  TApplication::Guard([&]() {
    TfrmMain frmMain(hovrak::SettingsFilePath());
    frmMain.StartUp(args);
    frmMain.show();
    rc = TApplication::exec();
    frmMain.SaveSettings();
    return true;
  });
  return rc;
}
