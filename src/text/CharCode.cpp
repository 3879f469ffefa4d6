#include "text/CharCode.h"

#include <istream>
#include <ostream>
#include <string>

namespace {

constexpr const char* kStreamTexts[] = {"Auto", "SJIS", "UTF16", "ASCII", "EUC", "JIS", "UTF8", "UTF8N", "Unknown"};
constexpr const char* kComboTexts[] = {"自動判別", "Shift-JIS", "UTF-16 (Unicode)", "ASCII",
                                       "EUC_JP",   "JIS",       "UTF-8 BOM",        "UTF-8"};

}  // namespace

const char* CharCodeStreamText(TCharCode code) {
  const auto i = static_cast<unsigned>(code);
  return i < sizeof kStreamTexts / sizeof *kStreamTexts ? kStreamTexts[i] : nullptr;
}

const char* CharCodeComboText(TCharCode code) {
  const auto i = static_cast<unsigned>(code);
  return i < sizeof kComboTexts / sizeof *kComboTexts ? kComboTexts[i] : nullptr;
}

std::ostream& operator<<(std::ostream& os, TCharCode code) {
  if (const char* text = CharCodeStreamText(code)) os << text;
  return os;
}

std::istream& operator>>(std::istream& is, TCharCode& code) {
  std::string word;
  if (!(is >> word)) return is;
  for (unsigned i = 0; i < sizeof kStreamTexts / sizeof *kStreamTexts; ++i) {
    if (word == kStreamTexts[i]) {
      code = static_cast<TCharCode>(i);
      return is;
    }
  }
  is.setstate(std::ios::failbit);
  return is;
}
