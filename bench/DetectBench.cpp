// Character-code detection on 1 MB files: Japanese text (the scan stops at once) and
// pure ASCII (the scan for the first non-text byte runs over the whole file).

#include <benchmark/benchmark.h>

#include <string>

#include "text/DetectCharCode.h"

namespace {

constexpr std::size_t kFileSize = 1 << 20;

std::string Repeat(const std::string& unit) {
  std::string bytes;
  bytes.reserve(kFileSize + unit.size());
  while (bytes.size() < kFileSize) bytes += unit;
  bytes.resize(kFileSize);
  return bytes;
}

// "日本語のテキストを検索します。" and a line end, in UTF-8, Shift-JIS and EUC-JP.
const char* const kUtf8Line =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9"
    "\xE3\x83\x88\xE3\x82\x92\xE6\xA4\x9C\xE7\xB4\xA2\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99"
    "\xE3\x80\x82\n";
const char* const kSjisLine =
    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xF0\x8C\x9F\x8D\xF5"
    "\x82\xB5\x82\xDC\x82\xB7\x81\x42\r\n";
const char* const kEucLine =
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xF2\xB8\xA1\xBA\xF7"
    "\xA4\xB7\xA4\xDE\xA4\xB9\xA1\xA3\n";

void Detect(benchmark::State& state, const std::string& bytes, TCharCode expected) {
  if (DetectCharCode(bytes) != expected) state.SkipWithError("unexpected character code");
  for (auto _ : state) benchmark::DoNotOptimize(DetectCharCode(bytes));
  state.SetItemsProcessed(state.iterations());
}

void BM_DetectUtf8(benchmark::State& state) { Detect(state, Repeat(kUtf8Line), TCharCode::UTF8N); }
void BM_DetectSjis(benchmark::State& state) { Detect(state, Repeat(kSjisLine), TCharCode::SJIS); }
void BM_DetectEuc(benchmark::State& state) { Detect(state, Repeat(kEucLine), TCharCode::EUC); }
void BM_DetectAsciiThenJapanese(benchmark::State& state) {
  std::string bytes = Repeat("plain ASCII text\n");
  bytes.replace(bytes.size() - 64, 46, kUtf8Line);
  Detect(state, bytes, TCharCode::UTF8N);
}

}  // namespace

BENCHMARK(BM_DetectUtf8);
BENCHMARK(BM_DetectSjis);
BENCHMARK(BM_DetectEuc);
BENCHMARK(BM_DetectAsciiThenJapanese);
