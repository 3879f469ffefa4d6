// The UTF-8 byte rules on 1 MB of Japanese text: the well-formedness check (vector and
// byte-at-a-time), decoding to UTF-16, and wildcard matching a character at a time.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/AnsiCodePage.h"
#include "platform/Wildcard.h"
#include "text/Utf8Scan.h"

namespace {

// "日本語のテキストを検索します。" and a line end.
const char* const kLine =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9"
    "\xE3\x83\x88\xE3\x82\x92\xE6\xA4\x9C\xE7\xB4\xA2\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99"
    "\xE3\x80\x82\n";

const std::string& Text() {
  static const std::string text = [] {
    std::string bytes;
    while (bytes.size() < (1u << 20)) bytes += kLine;
    return bytes;
  }();
  return text;
}

void BM_Utf8Classify(benchmark::State& state) {
  const std::string& text = Text();
  for (auto _ : state) benchmark::DoNotOptimize(hovrak::ClassifyUtf8(text.data(), text.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Utf8ClassifyScalar(benchmark::State& state) {
  const std::string& text = Text();
  for (auto _ : state) benchmark::DoNotOptimize(hovrak::ClassifyUtf8Scalar(text.data(), text.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Utf8ToWide(benchmark::State& state) {
  const std::string& text = Text();
  for (auto _ : state) benchmark::DoNotOptimize(hovrak::AnsiToWide(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Names of Japanese characters against patterns that step over them one at a time.
void BM_Utf8Wildcard(benchmark::State& state) {
  std::vector<std::string> names;
  const std::string line(kLine, std::string(kLine).size() - 1);
  for (std::size_t i = 0; i < 1000; ++i) names.push_back(line + std::to_string(i) + ".txt");
  for (auto _ : state) {
    std::size_t hits = 0;
    for (const std::string& name : names) hits += hovrak::MatchWildcard("*???1?.txt", name);
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * names.size()));
}

}  // namespace

BENCHMARK(BM_Utf8Classify);
BENCHMARK(BM_Utf8ClassifyScalar);
BENCHMARK(BM_Utf8ToWide);
BENCHMARK(BM_Utf8Wildcard);
