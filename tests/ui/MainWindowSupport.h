#pragma once
// Shared steps of the main-window tests: a window started as the program starts it,
// and mirun-cli run beside it on the same settings folder.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>

#include "ui/UiText.h"
#include "ui/frmMain.h"

// A main window on settingsPath, started with args and shown.
inline std::unique_ptr<TfrmMain> StartShownMain(const std::string& settingsPath,
                                                const std::vector<std::string>& args = {}) {
  auto main = std::make_unique<TfrmMain>(settingsPath);
  main->StartUp(args);
  main->show();
  return main;
}

// Runs mirun-cli with settings folder home to replace 東京 with 大阪 in file, as a user
// would in a terminal while the window lives; it must succeed.
inline void RunCliReplace(const std::string& home, const std::string& file) {
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("MIRUN_HOME"), hovrak::FromNarrow(home));
  cli.setProcessEnvironment(env);
  cli.start(QStringLiteral(MIRUN_CLI_PATH), {QStringLiteral("-s"), QStringLiteral("東京"), QStringLiteral("--replace"),
                                             QStringLiteral("大阪"), hovrak::FromNarrow(file)});
  ASSERT_TRUE(cli.waitForFinished(30000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}
