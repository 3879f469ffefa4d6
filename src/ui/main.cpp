// The desktop program: hands its arguments to a running instance of the same
// program file and ends, or creates the windows, runs the event loop and writes the
// settings at normal exit (also when ended by SIGTERM, SIGHUP or SIGINT). An
// exception that escapes a handler ends the program without writing the settings
// (TApplication).

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QPushButton>

#include "platform/SettingsFolder.h"
#include "platform/Utf8Locale.h"
#include "ui/Application.h"
#include "ui/ProgramIcon.h"
#include "ui/QtTranslations.h"
#include "ui/SingleInstance.h"
#include "ui/TerminationSignals.h"
#include "ui/frmMain.h"
#include "ui/frmProcess.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  TApplication application(argc, argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Before any window exists: a later start hands over and ends with 0.
  TSingleInstance instance(TSingleInstance::SocketPathForThisProgram(), hovrak::SideFilePath());
  if (!instance.Check(args)) return 0;

  hovrak::InstallQtTranslations(application);
  TApplication::setApplicationName(QStringLiteral("Mirun"));
  TApplication::setWindowIcon(hovrak::ProgramIcon());
  TApplication::setDesktopFileName(QStringLiteral("mirun"));
  int rc = 1;
  TApplication::Guard([&]() {
    TfrmMain frmMain(hovrak::SettingsFilePath());
    instance.OnHandOver = [&frmMain](const std::vector<std::string>& handed) { frmMain.HandOver(handed); };
    TTerminationSignals termination;
    // A running search or replace is stopped as the stop button does (between two
    // files, none left half-written). exit, not quit: quit asks the windows to close,
    // which the main window refuses while a run is active; exit also ends a
    // question's event loop (it counts as closed, so the run stops), and exec
    // returns once the run has ended.
    QObject::connect(&termination, &TTerminationSignals::Requested, [&frmMain]() {
      if (frmMain.frmProcess()->isVisible()) frmMain.frmProcess()->btnStop->click();
      TApplication::exit(0);
    });
    frmMain.StartUp(args);
    frmMain.show();
    rc = TApplication::exec();
    instance.OnHandOver = nullptr;
    frmMain.SaveSettings();
    return true;
  });
  return rc;
}
