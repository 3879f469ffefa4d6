#include <cstdlib>

#include <benchmark/benchmark.h>
#include <QApplication>

#include "platform/Utf8Locale.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
