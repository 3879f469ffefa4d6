#pragma once
// Decodes UTF-8 bytes to UTF-16 units, leniently: continuation bytes are not checked
// and overlong forms are accepted; only values above U+10FFFF become "?".

#include <cstddef>
#include <string>

#include "text/ZetTranslateEngine.h"

namespace hovrak {

class utf8_to_unicode_engine : public zet_translate_engine<std::string, std::wstring> {
 public:
  std::size_t translate_range(const char* data, std::size_t size) override;
};

}  // namespace hovrak
