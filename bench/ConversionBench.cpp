// Decoding and encoding speed of the character-code conversions over a few MB of
// Japanese text. Throughput counts the bytes of the encoded form in both directions.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/AnsiCodePage.h"
#include "text/Conversions.h"

namespace {

// The Japanese sample text of the tests, repeated to about 4 MB of UTF-8.
const std::wstring& SampleText() {
  static const std::wstring text = [] {
    std::string source(__FILE__);
    source.erase(source.find_last_of('/') + 1);
    std::ifstream in(source + "../tests/data/cjk/shift_jis-utf8.txt", std::ios::binary);
    std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (utf8.empty()) {
      utf8 =
          "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"
          "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n";
    }
    const std::wstring unit = hovrak::AnsiToWide(utf8);
    std::wstring all;
    while (all.size() * 2 < 4u << 20) all += unit;
    return all;
  }();
  return text;
}

template <class Encode>
void DecodeBench(benchmark::State& state, Encode encode, std::wstring (*decode)(const std::string&)) {
  const std::string bytes = encode(SampleText());
  for (auto _ : state) benchmark::DoNotOptimize(decode(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void EncodeBench(benchmark::State& state, std::string (*encode)(const std::wstring&)) {
  const std::wstring& text = SampleText();
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string bytes = encode(text);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

std::string EncodeJis(const std::wstring& text) { return hovrak::euc_to_jis(hovrak::unicode_to_euc(text)); }

std::wstring DecodeJis(const std::string& jis) { return hovrak::euc_to_unicode(hovrak::jis_to_euc(jis)); }

void BM_ConvDecodeSjis(benchmark::State& state) {
  DecodeBench(state, hovrak::unicode_to_sjis_cp932, hovrak::cp932_to_unicode);
}
void BM_ConvEncodeSjis(benchmark::State& state) { EncodeBench(state, hovrak::unicode_to_sjis_cp932); }
void BM_ConvDecodeEuc(benchmark::State& state) { DecodeBench(state, hovrak::unicode_to_euc, hovrak::euc_to_unicode); }
void BM_ConvEncodeEuc(benchmark::State& state) { EncodeBench(state, hovrak::unicode_to_euc); }
void BM_ConvDecodeJis(benchmark::State& state) { DecodeBench(state, EncodeJis, DecodeJis); }
void BM_ConvEncodeJis(benchmark::State& state) { EncodeBench(state, EncodeJis); }
void BM_ConvDecodeUtf8(benchmark::State& state) {
  DecodeBench(state, hovrak::unicode_to_utf8, hovrak::utf8_to_unicode);
}
void BM_ConvEncodeUtf8(benchmark::State& state) { EncodeBench(state, hovrak::unicode_to_utf8); }

BENCHMARK(BM_ConvDecodeSjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvEncodeSjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvDecodeEuc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvEncodeEuc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvDecodeJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvEncodeJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvDecodeUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvEncodeUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
