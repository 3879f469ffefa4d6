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

// Feeds the whole input to a fresh engine, flushes it and hands back the output.
template <class Engine, class In>
auto RunEngine(const In& input) -> decltype(Engine().translated_buffer) {
  init_translate_tables();
  Engine engine;
  engine.untranslated_buffer = input;
  engine.translate();
  engine.flush();
  return std::move(engine.translated_buffer);
}

}  // namespace

void init_translate_tables() {
  // The tables are constant data generated ahead of time, so there is nothing to
  // build at run time; the function stays the one entry point callers rely on.
}

std::wstring euc_to_unicode(const std::string& euc) {
  return RunEngine<euc_to_unicode_engine>(euc);
}

std::string jis_to_euc(const std::string& jis) { return RunEngine<jis_to_euc_engine>(jis); }

std::wstring utf8_to_unicode(const std::string& utf8) {
  return RunEngine<utf8_to_unicode_engine>(utf8);
}

std::string unicode_to_sjis_cp932(const std::wstring& text) {
  return RunEngine<unicode_to_sjis_cp932_engine>(text);
}

std::string unicode_to_euc(const std::wstring& text) {
  return RunEngine<unicode_to_euc_engine>(text);
}

std::string euc_to_jis(const std::string& euc) { return RunEngine<euc_to_jis_engine>(euc); }

std::string unicode_to_utf8(const std::wstring& text) {
  return RunEngine<unicode_to_utf8_engine>(text);
}

std::wstring cp932_to_unicode(const std::string& sjis) {
  using conversion_tables::kCp932ToUnicode;
  using conversion_tables::Lookup;
  const char* p = sjis.data();
  const char* const end = p + std::strlen(sjis.c_str());  // up to the first NUL
  std::wstring result(static_cast<std::size_t>(end - p), L'\0');
  wchar_t* out = &result[0];
  while (p < end) {
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
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

}  // namespace hovrak
