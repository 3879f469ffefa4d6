#pragma once
// Turns EUC-JP bytes into JIS, writing an escape sequence whenever the character set
// changes and returning to ASCII at the end. status holds the current set (TJisSet).

#include <cstddef>
#include <string>

#include "text/JisSet.h"
#include "text/ZetTranslateEngine.h"

namespace hovrak {

class euc_to_jis_engine : public zet_translate_engine<std::string, std::string> {
 public:
  std::size_t translate_range(const char* data, std::size_t size) override;
  void flush() override;
};

}  // namespace hovrak
