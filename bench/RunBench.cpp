// Whole runs over a generated tree of 3,000 Japanese files (about 40 MB) in every
// character code: a search with automatic detection, and a search followed by a
// replace with backups, split into search, backup and rewrite time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "JapaneseTree.h"
#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "settings/Option.h"

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

void SearchTree(benchmark::State& state) {
  const TJapaneseTree tree(3000, 6000);
  TMirunApp app;
  app.Option->SubDir = true;
  for (auto _ : state) {
    if (app.Search({tree.Root()}, {"*.txt"}, "文字コード") != SearchCompleted) state.SkipWithError("search failed");
    benchmark::DoNotOptimize(app.PlaceList->Count());
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(tree.Files()) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["hits"] = app.PlaceList ? app.PlaceList->Count() : 0;
  state.SetBytesProcessed(static_cast<int64_t>(tree.Bytes() * state.iterations()));
}

void SearchAndReplaceTree(benchmark::State& state) {
  double search = 0, backup = 0, rewrite = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const TJapaneseTree tree(3000, 6000);
    const std::string backupDir = tree.Root() + "-backup";
    TMirunApp app;
    app.Option->SubDir = true;
    app.Option->Backup = true;
    app.Backup->BackupDir = backupDir;
    app.Backup->MaxSize = 0xFFFFFFFFu;
    TClock::time_point backupStart{}, rewriteStart{};
    app.OnProcess = [&](TProcessType kind, const std::string&, int index, int) {
      if (kind == TProcessType::BackingUp) backupStart = TClock::now();
      if (kind == TProcessType::Replacing && index == 0) rewriteStart = TClock::now();
    };
    state.ResumeTiming();
    const auto start = TClock::now();
    app.Search({tree.Root()}, {"*.txt"}, "東京");
    const auto searched = TClock::now();
    app.Replace("大阪府");
    const auto done = TClock::now();
    state.PauseTiming();
    search += Seconds(searched - start);
    backup += Seconds(rewriteStart - backupStart);
    rewrite += Seconds(done - rewriteStart);
    bytes += tree.Bytes();
    std::error_code ec;
    std::filesystem::remove_all(backupDir, ec);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["search_s"] = search / n;
  state.counters["backup_s"] = backup / n;
  state.counters["rewrite_s"] = rewrite / n;
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(SearchTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchAndReplaceTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
