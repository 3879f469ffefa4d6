// Listing speed of a folder target: a generated tree of 10,000 files in 40 folders
// two levels deep, listed with subfolders, with one filter and with three.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/FileSet.h"

namespace {

namespace fs = std::filesystem;

// A tree created on first use and removed when the program ends.
class TGeneratedTree {
 public:
  TGeneratedTree() {
    std::string tmpl = (fs::temp_directory_path() / "mirun-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    root_ = tmpl;
    const char* extensions[] = {".txt", ".htm", ".cpp", ".log"};
    for (int top = 0; top < 8; ++top) {
      for (int sub = 0; sub < 5; ++sub) {
        const fs::path folder = fs::path(root_) / ("dir" + std::to_string(top)) / ("sub" + std::to_string(sub));
        fs::create_directories(folder);
        for (int i = 0; i < 250; ++i) {
          std::ofstream(folder / ("file" + std::to_string(i) + extensions[i % 4])) << "x";
        }
      }
    }
  }
  ~TGeneratedTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

const TGeneratedTree& Tree() {
  static const TGeneratedTree tree;
  return tree;
}

void ListTree(benchmark::State& state, const TStringVector& filters) {
  const std::string& root = Tree().Root();
  std::size_t files = 0;
  for (auto _ : state) {
    TFileSet set;
    set.AddFolder(root, filters, true);
    files = set.Files.size();
    benchmark::DoNotOptimize(set.Files.data());
  }
  state.counters["files"] = static_cast<double>(files);
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_FileSetListAll(benchmark::State& state) { ListTree(state, {"*"}); }
void BM_FileSetListThreeFilters(benchmark::State& state) { ListTree(state, {"*.txt", "*.htm", "*.cpp"}); }

// One flat folder of 100,000 empty files: the listing must stay linear in the
// number of names.
void BM_FileSetHugeFolder(benchmark::State& state) {
  static const std::string root = [] {
    std::string tmpl = (fs::temp_directory_path() / "mirun-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    for (int i = 0; i < 100000; ++i) std::ofstream(fs::path(tmpl) / ("f" + std::to_string(i) + ".txt"));
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(root, ec);
    });
    return tmpl;
  }();
  std::size_t files = 0;
  for (auto _ : state) {
    TFileSet set;
    set.AddFolder(root, {"*.txt"}, false);
    files = set.Files.size();
  }
  state.counters["files"] = static_cast<double>(files);
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files) * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FileSetListAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSetHugeFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSetListThreeFilters)->Unit(benchmark::kMillisecond);

}  // namespace
