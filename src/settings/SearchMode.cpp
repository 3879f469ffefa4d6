#include "settings/SearchMode.h"

#include <istream>
#include <ostream>
#include <string>

namespace {

constexpr const char* kNames[] = {"Normal", "Word", "Regex"};
constexpr unsigned kCount = sizeof kNames / sizeof *kNames;

}  // namespace

const char* SearchModeStreamText(TSearchMode mode) {
  const auto i = static_cast<unsigned>(mode);
  return i < kCount ? kNames[i] : nullptr;
}

std::ostream& operator<<(std::ostream& os, TSearchMode mode) {
  if (const char* text = SearchModeStreamText(mode)) os << text;
  return os;
}

std::istream& operator>>(std::istream& is, TSearchMode& mode) {
  std::string word;
  if (!(is >> word)) return is;
  for (unsigned i = 0; i < kCount; ++i) {
    if (word == kNames[i]) {
      mode = static_cast<TSearchMode>(i);
      return is;
    }
  }
  is.setstate(std::ios::failbit);
  return is;
}
