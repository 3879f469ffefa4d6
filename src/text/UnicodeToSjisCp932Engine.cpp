#include "text/UnicodeToSjisCp932Engine.h"

#include "text/TableEncodeStep.h"

namespace hovrak {

std::size_t unicode_to_sjis_cp932_engine::translate_range(const wchar_t* data, std::size_t size) {
  translated_buffer.reserve(translated_buffer.size() + size * 2);
  return run_blocks(data, size, TableEncodeStep(conversion_tables::kUnicodeToSjis));
}

}  // namespace hovrak
