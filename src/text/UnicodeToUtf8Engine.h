#pragma once
// Encodes UTF-16 units as UTF-8 bytes, joining surrogate pairs; a lone surrogate is
// encoded as its own three-byte value.

#include <cstddef>
#include <string>

#include "text/ZetTranslateEngine.h"

namespace hovrak {

class unicode_to_utf8_engine : public zet_translate_engine<std::wstring, std::string> {
 public:
  std::size_t translate_range(const wchar_t* data, std::size_t size) override;
};

}  // namespace hovrak
