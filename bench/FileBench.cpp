// Loading and saving text files of a few MiB: narrow, wide with detection, and the
// replace run's checked load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "platform/ContentHash.h"
#include "platform/SafeSave.h"
#include "text/File.h"

namespace {

// A file of about 4 MiB of Japanese Shift-JIS text with CR LF line ends, made once.
class TBenchFile {
 public:
  TBenchFile() {
    char dir[] = "/tmp/mirun-bench-XXXXXX";
    if (!::mkdtemp(dir)) std::abort();
    dir_ = dir;
    path_ = dir_ + "/sjis.txt";
    // "日本語のテキスト、検索と置換。" and an ASCII tail per line.
    const std::string line =
        "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x81\x41\x8C\x9F\x8D\xF5"
        "\x82\xC6\x92\x75\x8A\xB7\x81\x42 line of text 0123456789\r\n";
    std::string bytes;
    while (bytes.size() < (std::size_t(4) << 20)) bytes += line;
    size_ = bytes.size();
    if (hovrak::SafeWriteFile(path_, bytes) != 0) std::abort();
  }
  ~TBenchFile() {
    ::unlink(path_.c_str());
    ::rmdir(dir_.c_str());
  }
  const std::string& Path() const { return path_; }
  std::size_t Size() const { return size_; }

 private:
  std::string dir_, path_;
  std::size_t size_ = 0;
};

const TBenchFile& BenchFile() {
  static const TBenchFile file;
  return file;
}

void BM_FileLoadNarrow(benchmark::State& state) {
  const TBenchFile& f = BenchFile();
  for (auto _ : state) {
    TFile<char> file(f.Path());
    benchmark::DoNotOptimize(file.Load(TFileReadOptions{}));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.Size()));
}
BENCHMARK(BM_FileLoadNarrow)->Unit(benchmark::kMillisecond);

void BM_FileLoadWideAuto(benchmark::State& state) {
  const TBenchFile& f = BenchFile();
  const bool check = state.range(0) != 0;
  std::size_t units = 0;
  for (auto _ : state) {
    TFile<wchar_t> file(f.Path());
    benchmark::DoNotOptimize(file.Load(TFileReadOptions{check, std::numeric_limits<std::int32_t>::max()}));
    units = file.Text.size();
  }
  state.counters["units"] = static_cast<double>(units);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.Size()));
}
BENCHMARK(BM_FileLoadWideAuto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FileSaveWide(benchmark::State& state) {
  const TBenchFile& f = BenchFile();
  TFile<wchar_t> file(f.Path());
  file.Load(TFileReadOptions{});
  const std::string copy = f.Path() + ".copy";
  TFile<wchar_t> out(copy, file.CharCode);
  out.Text = file.Text;
  out.NewLine = file.NewLine;
  for (auto _ : state) benchmark::DoNotOptimize(out.Save());
  ::unlink(copy.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.Size()));
}
BENCHMARK(BM_FileSaveWide)->Unit(benchmark::kMillisecond);

}  // namespace

// The content hash every save and every backup copy computes of its bytes.
void BM_ContentHash(benchmark::State& state) {
  const std::string bytes(std::size_t(4) << 20, 'x');
  for (auto _ : state) benchmark::DoNotOptimize(hovrak::TContentHash::Of(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ContentHash)->Unit(benchmark::kMicrosecond);
