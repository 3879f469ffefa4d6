#include "text/JisToEucEngine.h"

namespace hovrak {

std::size_t jis_to_euc_engine::translate_range(const char* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size);
  int state = status;
  const auto step = [&state](const char* p, const char* end, char* out, std::size_t* produced) -> std::size_t {
    const std::size_t left = static_cast<std::size_t>(end - p);
    // A JIS X 0208 or X 0212 character needs two bytes; katakana need one.
    if ((state == jis_X0208 || state == jis_X0212) && left < 2) return 0;
    const char b = *p;
    *produced = 0;
    if (b == '\x1B') {
      if (left < 3) return 0;
      // ESC $ ( may be the start of ESC $ ( D: wait for its last byte.
      if (left == 3 && p[1] == '$' && p[2] == '(') return 0;
      if (p[1] == '(' && (p[2] == 'B' || p[2] == 'J')) {
        state = jis_ASCII;
      } else if (p[1] == '$' && p[2] == 'B') {
        state = jis_X0208;
      } else if (p[1] == '(' && p[2] == 'I') {
        state = jis_K1;
      } else if (left >= 4 && p[1] == '$' && p[2] == '(' && p[3] == 'D') {
        state = jis_X0212;
        return 4;
      }
      return 3;  // any other escape sequence is skipped whole
    }
    if (b == '\x0E') {
      state = jis_S;
      return 1;
    }
    if (b == '\x0F') {
      state = jis_ASCII;
      return 1;
    }
    switch (state) {
      case jis_X0208:
        out[0] = static_cast<char>(b | 0x80);
        out[1] = static_cast<char>(p[1] | 0x80);
        *produced = 2;
        return 2;
      case jis_X0212:
        out[0] = '\x8F';
        out[1] = static_cast<char>(b | 0x80);
        out[2] = static_cast<char>(p[1] | 0x80);
        *produced = 3;
        return 2;
      case jis_K1:
      case jis_S:
        out[0] = '\x8E';
        out[1] = static_cast<char>(b | 0x80);
        *produced = 2;
        return 1;
      default:
        out[0] = b;
        *produced = 1;
        return 1;
    }
  };
  const std::size_t consumed = run_blocks(data, size, step);
  status = state;
  return consumed;
}

void jis_to_euc_engine::flush() {
  status = jis_ASCII;
  zet_translate_engine::flush();
}

}  // namespace hovrak
