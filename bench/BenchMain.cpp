#include <benchmark/benchmark.h>

#include "platform/Utf8Locale.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
