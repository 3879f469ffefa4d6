#include "text/EucToJisEngine.h"

#include <cstring>

#include "text/CodeBytes.h"

namespace hovrak {

namespace {

// The escape sequence that selects each set, by TJisSet value 0 to 3.
const char* const kEscapes[] = {"\x1B(B", "\x1B$B", "\x1B(I", "\x1B$(D"};

}  // namespace

std::size_t euc_to_jis_engine::translate_range(const char* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size + 16);
  int state = status;
  const auto step = [&state](const char* p, const char* end, char* out, std::size_t* produced) -> std::size_t {
    const std::size_t left = static_cast<std::size_t>(end - p);
    const unsigned char b = static_cast<unsigned char>(*p);
    std::size_t n = 0;
    auto select = [&](int set) {
      if (state == set) return;
      const char* escape = kEscapes[set];
      const std::size_t length = std::strlen(escape);
      std::memcpy(out, escape, length);
      n = length;
      state = set;
    };
    std::size_t consumed = 1;
    if (IsEucLeadByte(b)) {
      if (left < 2) return 0;
      const unsigned char t = static_cast<unsigned char>(p[1]);
      if (b == 0x8E && t >= 0xA1 && t <= 0xDF) {
        select(jis_K1);
        out[n++] = static_cast<char>(t - 0x80);
        consumed = 2;
      } else if (b != 0x8E && t >= 0x80) {
        select(jis_X0208);
        out[n++] = static_cast<char>(b & 0x7F);
        out[n++] = static_cast<char>(t & 0x7F);
        consumed = 2;
      } else {
        select(jis_ASCII);
        out[n++] = '?';
      }
    } else if (b == 0x8F) {
      if (left < 3) return 0;
      const unsigned char t1 = static_cast<unsigned char>(p[1]);
      const unsigned char t2 = static_cast<unsigned char>(p[2]);
      if (t1 >= 0x80 && t2 >= 0x80) {
        select(jis_X0212);
        out[n++] = static_cast<char>(t1 & 0x7F);
        out[n++] = static_cast<char>(t2 & 0x7F);
      } else {
        select(jis_ASCII);
        out[n++] = '?';
      }
      consumed = 3;
    } else {
      select(jis_ASCII);
      out[n++] = static_cast<char>(b);
    }
    *produced = n;
    return consumed;
  };
  const std::size_t consumed = run_blocks(data, size, step);
  status = state;
  return consumed;
}

void euc_to_jis_engine::flush() {
  if (status != jis_ASCII) translated_buffer.append(kEscapes[jis_ASCII]);
  status = jis_ASCII;
  zet_translate_engine::flush();
}

}  // namespace hovrak
