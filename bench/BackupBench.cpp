// Backup speed: one backup of 200 files of 4 KB in 10 folders, each copy flushed
// to disk, with the previous unit pruned by the size limit in the same call.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "backup/Backup.h"

namespace {

namespace fs = std::filesystem;

void BackUpSmallFiles(benchmark::State& state) {
  std::string tmpl = (fs::temp_directory_path() / "mirun-bench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  const fs::path root = tmpl;
  setenv("MIRUN_HOME", root.c_str(), 1);
  TStringVector files;
  const std::string text(4096, 'x');
  for (int folder = 0; folder < 10; ++folder) {
    const fs::path dir = root / "src" / ("dir" + std::to_string(folder));
    fs::create_directories(dir);
    for (int i = 0; i < 20; ++i) {
      files.push_back((dir / ("file" + std::to_string(i) + ".txt")).string());
      std::ofstream(files.back()) << text;
    }
  }
  TBackup backup;
  backup.BackupDir = (root / "Backup").string();
  backup.MaxSize = 1048576;  // each new unit pushes the previous one out
  for (auto _ : state) backup.MakeBackup(files);
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files.size()) * state.iterations(), benchmark::Counter::kIsRate);
  std::error_code ec;
  fs::remove_all(root, ec);
}
BENCHMARK(BackUpSmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
