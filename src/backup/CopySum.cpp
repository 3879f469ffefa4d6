#include "backup/CopySum.h"

#include "platform/ContentHash.h"

bool TCopySum::Matches(const std::string& bytes) const {
  if (!Known()) return true;
  return static_cast<std::int64_t>(bytes.size()) == Size && hovrak::TContentHash::Of(bytes) == Hash;
}

std::string TCopySum::Text() const {
  return Known() ? std::to_string(Size) + " " + hovrak::TContentHash::Text(Hash) : std::string();
}

TCopySum TCopySum::Parse(const std::string& text) {
  TCopySum sum;
  const std::size_t blank = text.find(' ');
  if (blank == std::string::npos || blank == 0 || blank > 19) return sum;
  std::int64_t size = 0;
  for (std::size_t i = 0; i < blank; ++i) {
    if (text[i] < '0' || text[i] > '9') return sum;
    size = size * 10 + (text[i] - '0');
  }
  std::uint64_t hash = 0;
  if (!hovrak::TContentHash::Parse(text.substr(blank + 1), hash)) return sum;
  sum.Size = size;
  sum.Hash = hash;
  return sum;
}
