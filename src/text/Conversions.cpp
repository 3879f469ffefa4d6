#include "text/Conversions.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "text/CodeBytes.h"
#include "text/ConversionTables.h"
#include "text/EucToJisEngine.h"
#include "text/EucToUnicodeEngine.h"
#include "text/JisToEucEngine.h"
#include "text/UnicodeToEucEngine.h"
#include "text/UnicodeToSjisCp932Engine.h"
#include "text/UnicodeToUtf8Engine.h"
#include "text/Utf8ToUnicodeEngine.h"

namespace hovrak {

namespace {

// Runs a fresh engine over the whole input where it lies, hands it the incomplete
// rest (if any) for the flush and returns the output.
template <class Engine, class Unit>
auto RunEngine(const Unit* data, std::size_t size) -> decltype(Engine().translated_buffer) {
  init_translate_tables();
  Engine engine;
  const std::size_t consumed = engine.translate_range(data, size);
  engine.untranslated_buffer.assign(data + consumed, size - consumed);
  engine.flush();
  return std::move(engine.translated_buffer);
}

template <class Engine, class In>
auto RunEngine(const In& input) -> decltype(Engine().translated_buffer) {
  return RunEngine<Engine>(input.data(), input.size());
}

// Code page 932 decoding of p[0, end - p), appended to text. A zero byte is an ASCII
// byte like any other here; no mapped pair has a zero second byte.
void AppendCp932(const char* p, const char* const end, std::wstring& text) {
  using conversion_tables::kCp932ToUnicode;
  using conversion_tables::Lookup;
  // Output is built in a small local block and appended once per block, so the
  // result grows only by what is written and is never zero-filled ahead.
  constexpr std::size_t kBlock = 1024;
  wchar_t block[kBlock];
  while (p < end) {
    wchar_t* out = block;
    wchar_t* const stop = block + kBlock - 2;  // one step writes at most two units
    while (p < end && out < stop) {
      const unsigned char b = static_cast<unsigned char>(*p);
      if (b < 0x80) {
        *out++ = b;
        ++p;
        continue;
      }
      if (!IsSjisLeadByte(b)) {
        const unsigned u = Lookup(kCp932ToUnicode, b);
        *out++ = u != 0 ? static_cast<wchar_t>(u) : L'?';
        ++p;
        continue;
      }
      if (end - p < 2) {
        *out++ = L'?';  // a lead byte with nothing after it
        ++p;
        continue;
      }
      const unsigned char t = static_cast<unsigned char>(p[1]);
      const unsigned u = Lookup(kCp932ToUnicode, static_cast<unsigned>(b) << 8 | t);
      if (u != 0) {
        *out++ = static_cast<wchar_t>(u);
        p += 2;
      } else if (IsSjisTrailByte(t)) {
        *out++ = L'?';  // a well-formed pair without a character: both bytes consumed
        *out++ = L'?';
        p += 2;
      } else {
        *out++ = L'?';  // the second byte cannot trail; it is read again on its own
        ++p;
      }
    }
    text.append(block, static_cast<std::size_t>(out - block));
  }
}

}  // namespace

void init_translate_tables() {
  // The tables are constant data generated ahead of time, so there is nothing to
  // build at run time; the function stays the one entry point callers rely on.
}

std::wstring euc_to_unicode(const std::string& euc) { return RunEngine<euc_to_unicode_engine>(euc); }

std::string jis_to_euc(const std::string& jis) { return RunEngine<jis_to_euc_engine>(jis); }

std::wstring utf8_to_unicode(const std::string& utf8) { return RunEngine<utf8_to_unicode_engine>(utf8); }

std::string unicode_to_sjis_cp932(const std::wstring& text) { return RunEngine<unicode_to_sjis_cp932_engine>(text); }

std::string unicode_to_euc(const std::wstring& text) { return RunEngine<unicode_to_euc_engine>(text); }

std::string euc_to_jis(const std::string& euc) { return RunEngine<euc_to_jis_engine>(euc); }

std::string unicode_to_utf8(const std::wstring& text) { return RunEngine<unicode_to_utf8_engine>(text); }

std::wstring utf8_to_unicode(const char* data, std::size_t size) {
  return RunEngine<utf8_to_unicode_engine>(data, size);
}

std::wstring cp932_to_unicode(const std::string& sjis) {
  return cp932_bytes_to_unicode(sjis.data(), std::strlen(sjis.c_str()));  // up to the first NUL
}

std::wstring cp932_bytes_to_unicode(const char* data, std::size_t size) {
  std::wstring text;
  text.reserve(size);
  AppendCp932(data, data + size, text);
  return text;
}

}  // namespace hovrak
