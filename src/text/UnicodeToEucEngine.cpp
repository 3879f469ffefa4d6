#include "text/UnicodeToEucEngine.h"

#include <cstdint>

#include "text/ConversionTables.h"

namespace hovrak {

std::size_t unicode_to_euc_engine::translate_range(const wchar_t* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size * 2);
  const auto step = [](const wchar_t* p, const wchar_t*, char* out, std::size_t* produced)
                        -> std::size_t {
    const std::uint32_t u = static_cast<std::uint32_t>(*p);
    if (u < 0x80) {
      out[0] = static_cast<char>(u);
      *produced = 1;
      return 1;
    }
    const std::uint32_t code =
        u <= 0xFFFF ? conversion_tables::Lookup(conversion_tables::kUnicodeToEuc, u) : 0;
    if (code > 0xFFFF) {
      out[0] = static_cast<char>(code >> 16);
      out[1] = static_cast<char>(code >> 8);
      out[2] = static_cast<char>(code);
      *produced = 3;
    } else if (code > 0xFF) {
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code);
      *produced = 2;
    } else {
      out[0] = code != 0 ? static_cast<char>(code) : '?';
      *produced = 1;
    }
    return 1;
  };
  const std::size_t consumed = run_blocks(data, size, step);
  return consumed;
}

}  // namespace hovrak
