#pragma once
// Encodes UTF-16 units as EUC-JP bytes; a character EUC-JP cannot hold becomes "?".

#include <cstddef>
#include <string>

#include "text/ZetTranslateEngine.h"

namespace hovrak {

class unicode_to_euc_engine : public zet_translate_engine<std::wstring, std::string> {
 public:
  std::size_t translate_range(const wchar_t* data, std::size_t size) override;
};

}  // namespace hovrak
