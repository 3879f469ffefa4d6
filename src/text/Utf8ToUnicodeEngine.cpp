#include "text/Utf8ToUnicodeEngine.h"

#include <cstdint>
#include <cstring>

#include "text/CodeBytes.h"

namespace hovrak {

// Decodes into a local block appended to the output as it fills, so the output
// grows only by what is written (its reserved room is never touched, and so never
// made resident); runs of ASCII go eight bytes at a time, and the three-byte
// sequences of Japanese text have their own case.
std::size_t utf8_to_unicode_engine::translate_range(const char* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size);
  constexpr std::size_t kBlock = 4096;
  wchar_t block[kBlock];
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  bool stopped = false;
  while (p < end && !stopped) {
    wchar_t* out = block;
    wchar_t* const full = block + kBlock - 8;  // one step writes at most eight units
    while (p < end && out < full) {
      if (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (!(word & 0x8080808080808080ull)) {
          for (int k = 0; k < 8; ++k) out[k] = p[k];
          p += 8;
          out += 8;
          continue;
        }
      }
      const unsigned char b = *p;
      if (b < 0x80) {
        *out++ = b;
        ++p;
        continue;
      }
      const std::size_t n = Utf8SequenceLength(b);
      if (n == 0) {
        *out++ = L'?';
        ++p;
        continue;
      }
      if (static_cast<std::size_t>(end - p) < n) {  // the rest waits for more bytes
        stopped = true;
        break;
      }
      if (n == 3) {
        *out++ = static_cast<wchar_t>((b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
        p += 3;
        continue;
      }
      std::uint32_t value = b & Utf8FirstByteMask(n);
      for (std::size_t i = 1; i < n; ++i) value = value << 6 | (p[i] & 0x3Fu);
      if (value <= 0xFFFF) {
        *out++ = static_cast<wchar_t>(value);
      } else if (value > 0x10FFFF) {
        *out++ = L'?';
      } else {
        *out++ = static_cast<wchar_t>(0xD800 | ((value - 0x10000) >> 10));
        *out++ = static_cast<wchar_t>(0xDC00 | (value & 0x3FF));
      }
      p += n;
    }
    translated_buffer.append(block, static_cast<std::size_t>(out - block));
  }
  return static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(data));
}

}  // namespace hovrak
