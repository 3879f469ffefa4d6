#include "text/Utf8ToUnicodeEngine.h"

#include <cstdint>

#include "text/CodeBytes.h"

namespace hovrak {

std::size_t utf8_to_unicode_engine::translate_range(const char* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size);
  const auto step = [](const char* p, const char* end, wchar_t* out, std::size_t* produced)
                        -> std::size_t {
    const unsigned char b = static_cast<unsigned char>(*p);
    *produced = 1;
    if (b < 0x80) {
      *out = b;
      return 1;
    }
    const std::size_t n = Utf8SequenceLength(b);
    if (n == 0) {
      *out = L'?';
      return 1;
    }
    if (static_cast<std::size_t>(end - p) < n) return 0;
    std::uint32_t value = b & Utf8FirstByteMask(n);
    for (std::size_t i = 1; i < n; ++i) value = value << 6 | (static_cast<unsigned char>(p[i]) & 0x3F);
    if (value <= 0xFFFF) {
      *out = static_cast<wchar_t>(value);
    } else if (value > 0x10FFFF) {
      *out = L'?';
    } else {
      out[0] = static_cast<wchar_t>(0xD800 | ((value - 0x10000) >> 10));
      out[1] = static_cast<wchar_t>(0xDC00 | (value & 0x3FF));
      *produced = 2;
    }
    return n;
  };
  const std::size_t consumed = run_blocks(data, size, step);
  return consumed;
}

}  // namespace hovrak
