#pragma once
// Decodes EUC-JP bytes (JIS X 0208 with the NEC and IBM rows, half-width katakana,
// JIS X 0212 after 8F) to UTF-16 units.

#include <cstddef>
#include <string>

#include "text/ZetTranslateEngine.h"

namespace hovrak {

class euc_to_unicode_engine : public zet_translate_engine<std::string, std::wstring> {
 public:
  std::size_t translate_range(const char* data, std::size_t size) override;
};

}  // namespace hovrak
