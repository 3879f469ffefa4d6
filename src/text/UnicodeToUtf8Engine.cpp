#include "text/UnicodeToUtf8Engine.h"

#include <cstdint>

namespace hovrak {

std::size_t unicode_to_utf8_engine::translate_range(const wchar_t* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size * 3);
  const auto step = [](const wchar_t* p, const wchar_t* end, char* out, std::size_t* produced) -> std::size_t {
    std::uint32_t u = static_cast<std::uint32_t>(*p);
    std::size_t consumed = 1;
    if (u < 0x80) {
      out[0] = static_cast<char>(u);
      *produced = 1;
      return 1;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (end - p < 2) return 0;  // the low half may still come
      const std::uint32_t low = static_cast<std::uint32_t>(p[1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        consumed = 2;
      }
    }
    if (u < 0x800) {
      out[0] = static_cast<char>(0xC0 | u >> 6);
      out[1] = static_cast<char>(0x80 | (u & 0x3F));
      *produced = 2;
    } else if (u <= 0xFFFF) {
      out[0] = static_cast<char>(0xE0 | u >> 12);
      out[1] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
      out[2] = static_cast<char>(0x80 | (u & 0x3F));
      *produced = 3;
    } else if (u <= 0x10FFFF) {
      out[0] = static_cast<char>(0xF0 | u >> 18);
      out[1] = static_cast<char>(0x80 | (u >> 12 & 0x3F));
      out[2] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
      out[3] = static_cast<char>(0x80 | (u & 0x3F));
      *produced = 4;
    } else {
      out[0] = '?';  // not a UTF-16 unit at all
      *produced = 1;
    }
    return consumed;
  };
  const std::size_t consumed = run_blocks(data, size, step);
  return consumed;
}

}  // namespace hovrak
