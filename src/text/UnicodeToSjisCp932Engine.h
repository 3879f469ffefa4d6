#pragma once
// Encodes UTF-16 units as Shift-JIS (code page 932) bytes; a character without a
// code (the user-defined area included) becomes "?".

#include <cstddef>
#include <string>

#include "text/ZetTranslateEngine.h"

namespace hovrak {

class unicode_to_sjis_cp932_engine : public zet_translate_engine<std::wstring, std::string> {
 public:
  std::size_t translate_range(const wchar_t* data, std::size_t size) override;
};

}  // namespace hovrak
