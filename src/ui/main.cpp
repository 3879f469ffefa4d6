// The desktop program: creates the windows, runs the event loop, writes the
// settings at normal exit.

#include <string>
#include <vector>

#include <QApplication>

#include "platform/SettingsFolder.h"
#include "platform/Utf8Locale.h"
#include "ui/frmMain.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirun"));
  std::vector<std::string> args(argv + 1, argv + argc);
  TfrmMain frmMain(hovrak::SettingsFilePath());
  frmMain.StartUp(args);
  frmMain.show();
  const int rc = application.exec();
  frmMain.SaveSettings();
  return rc;
}
