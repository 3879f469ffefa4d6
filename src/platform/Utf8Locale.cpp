#include "platform/Utf8Locale.h"

#include <clocale>
#include <cstring>
#include <locale>
#include <stdexcept>
#include <string>

namespace hovrak {

namespace {

bool IsUtf8Name(const char* name) {
  if (!name) return false;
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

}  // namespace

const char* InstallUtf8Locale() {
  std::setlocale(LC_ALL, "");
  if (!IsUtf8Name(std::setlocale(LC_CTYPE, nullptr))) {
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
  }
  const char* ctype = std::setlocale(LC_CTYPE, nullptr);
  try {
    // Only the character classes follow the user's locale; numbers and the rest stay
    // classic so that settings files and CSV never depend on the user's locale.
    std::locale::global(std::locale(std::locale::classic(), ctype ? ctype : "C", std::locale::ctype));
  } catch (const std::runtime_error&) {
    // The C++ library does not know the name: the C locale set above still folds
    // case for towlower and Boost.Regex's C-based wide traits.
  }
  // std::locale::global resets the C locale to the C++ one's name; set LC_CTYPE again.
  std::setlocale(LC_CTYPE, ctype ? ctype : "C.UTF-8");
  return std::setlocale(LC_CTYPE, nullptr);
}

}  // namespace hovrak
