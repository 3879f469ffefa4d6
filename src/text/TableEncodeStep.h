#pragma once
// The step shared by the table-driven encoders (UTF-16 to Shift-JIS and to EUC-JP):
// one unit becomes the one, two or three bytes its table gives, ASCII passes through,
// and a unit the table lacks becomes "?".

#include <cstddef>
#include <cstdint>

#include "text/ConversionTables.h"

namespace hovrak {

template <class TEntry>
auto TableEncodeStep(const TEntry* const* const (&table)[256]) {
  return [&table](const wchar_t* p, const wchar_t*, char* out, std::size_t* produced) -> std::size_t {
    const std::uint32_t u = static_cast<std::uint32_t>(*p);
    if (u < 0x80) {
      out[0] = static_cast<char>(u);
      *produced = 1;
      return 1;
    }
    const std::uint32_t code = u <= 0xFFFF ? conversion_tables::Lookup(table, u) : 0;
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
}

}  // namespace hovrak
