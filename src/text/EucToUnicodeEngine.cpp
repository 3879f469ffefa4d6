#include "text/EucToUnicodeEngine.h"

#include "text/CodeBytes.h"
#include "text/ConversionTables.h"

namespace hovrak {

std::size_t euc_to_unicode_engine::translate_range(const char* data, std::size_t size) {
  using conversion_tables::Lookup;
  translated_buffer.reserve(translated_buffer.size() + size);
  const auto step = [](const char* p, const char* end, wchar_t* out, std::size_t* produced) -> std::size_t {
    const unsigned char b = static_cast<unsigned char>(*p);
    *produced = 1;
    if (b < 0x80) {
      *out = b;
      return 1;
    }
    if (IsEucLeadByte(b)) {
      if (end - p < 2) return 0;
      const unsigned char t = static_cast<unsigned char>(p[1]);
      if (t < 0x40 || t == 0x7F || t == 0xFF) {
        *out = L'?';
        return 1;  // the second byte is read again on its own
      }
      const unsigned u = Lookup(conversion_tables::kEucToUnicode, b << 8 | t);
      *out = u != 0 ? static_cast<wchar_t>(u) : L'?';
      return u != 0 ? 2 : 1;
    }
    if (b == 0x8F) {
      if (end - p < 3) return 0;
      const unsigned key = static_cast<unsigned char>(p[1]) << 8 | static_cast<unsigned char>(p[2]);
      const unsigned u = Lookup(conversion_tables::kJisX0212ToUnicode, key);
      *out = u != 0 ? static_cast<wchar_t>(u) : L'?';
      return u != 0 ? 3 : 1;
    }
    *out = b;  // stray 80-8D, A0, FF as U+0080-U+00FF
    return 1;
  };
  const std::size_t consumed = run_blocks(data, size, step);
  return consumed;
}

}  // namespace hovrak
