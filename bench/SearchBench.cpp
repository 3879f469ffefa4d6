// Search throughput over a 50 MB (UTF-16) Japanese text: plain, case-ignoring and
// regular-expression search, whole text with line numbers; and plain search of the
// same text as UTF-8, over its bytes and decoded first.
#include <benchmark/benchmark.h>

#include "JapaneseCorpus.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "platform/AnsiCodePage.h"
#include "text/Conversions.h"
#include "text/FileBase.h"

namespace {

const std::wstring& Corpus() {
  static const std::wstring text = MakeJapaneseText(25u << 20);  // 25 Mi units = 50 MiB as UTF-16
  return text;
}

void RunSearch(benchmark::State& state, const char* text, int mode, bool caseSensitive) {
  const std::wstring& corpus = Corpus();
  TSearchInfo info;
  info.Text = text;
  info.Mode = static_cast<std::uint8_t>(mode);
  info.CaseSensitive = caseSensitive;
  auto pattern = CreateSearchedPattern(info);
  auto& typed = dynamic_cast<TSearchedPattern<wchar_t>&>(*pattern);
  std::size_t hits = 0;
  for (auto _ : state) {
    TPlaceList<wchar_t> list;
    SearchFileText<wchar_t>(typed, corpus, list, "corpus.txt");
    hits = static_cast<std::size_t>(list.Count());
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.size() * 2));
}

}  // namespace

BENCHMARK_CAPTURE(RunSearch, PlainRare, "文字コード", 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, PlainCommon, "の", 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, PlainAbsent, "大阪府", 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, PlainAbsent10, "大阪府の会議室で予定表", 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, PlainAbsent20, "大阪府の会議室で予定表を確認してからシステム", 0, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, IgnoreCase, "windows", 0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, Regex, "東京(の|で)[^。]*?予定", 2, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, Word, "UTF-8", 1, true)->Unit(benchmark::kMillisecond);

namespace {

// The same text as UTF-8 bytes, searched as a UTF-8 file is: straight over the bytes,
// or decoded first.
const std::string& Utf8Corpus() {
  static const std::string bytes = hovrak::unicode_to_utf8(Corpus());
  return bytes;
}

void SearchUtf8Bytes(benchmark::State& state, const char* text) {
  const std::string& bytes = Utf8Corpus();
  const TUtf8PlainSearch search(hovrak::AnsiToWide(text));
  std::size_t hits = 0;
  for (auto _ : state) {
    TNewLineKind kind;
    if (!TUtf8PlainSearch::CanSearch(bytes, false, kind)) state.SkipWithError("not searchable");
    TPlaceList<wchar_t> list;
    search.Search(bytes, kind, false, true, list, "corpus.txt");
    hits = static_cast<std::size_t>(list.Count());
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void SearchUtf8Decoded(benchmark::State& state, const char* text) {
  const std::string& bytes = Utf8Corpus();
  TSearchInfo info;
  info.Text = text;
  info.CaseSensitive = true;
  auto pattern = CreateSearchedPattern(info);
  auto& typed = dynamic_cast<TSearchedPattern<wchar_t>&>(*pattern);
  std::size_t hits = 0;
  for (auto _ : state) {
    std::wstring decoded = hovrak::utf8_to_unicode(bytes);
    TFileBase<wchar_t>::NormalizeNewLines(decoded);
    TPlaceList<wchar_t> list;
    SearchFileText<wchar_t>(typed, decoded, list, "corpus.txt");
    hits = static_cast<std::size_t>(list.Count());
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

BENCHMARK_CAPTURE(SearchUtf8Bytes, Rare, "文字コード")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchUtf8Decoded, Rare, "文字コード")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchUtf8Bytes, Absent, "大阪府")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchUtf8Decoded, Absent, "大阪府")->Unit(benchmark::kMillisecond);
