#pragma once
// Turns JIS (ISO-2022-JP style, with escape sequences and SO/SI katakana) into EUC-JP
// bytes. status holds the current character set (see TJisSet).

#include <cstddef>
#include <string>

#include "text/JisSet.h"
#include "text/ZetTranslateEngine.h"

namespace hovrak {

class jis_to_euc_engine : public zet_translate_engine<std::string, std::string> {
 public:
  std::size_t translate_range(const char* data, std::size_t size) override;
  void flush() override;
};

}  // namespace hovrak
