#include "pattern/CaseFold.h"

#include <locale>
#include <map>
#include <mutex>

std::shared_ptr<const TCaseFold> TCaseFold::OfGlobalLocale() {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const TCaseFold>> tables;
  const std::locale locale;
  const std::string name = locale.name();
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = tables[name];
  if (slot) return slot;
  std::shared_ptr<TCaseFold> table(new TCaseFold);
  table->localeName_ = name;
  const auto& narrow = std::use_facet<std::ctype<char>>(locale);
  for (int c = 0; c < 256; ++c) table->narrow_[c] = narrow.tolower(static_cast<char>(c));
  const auto& wide = std::use_facet<std::ctype<wchar_t>>(locale);
  table->wide_.resize(0x10000);
  for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
    const auto lower = static_cast<std::uint32_t>(wide.tolower(static_cast<wchar_t>(u)));
    // A unit whose lower case lies outside UTF-16's units keeps itself; the engine
    // would compare it against text units that can never hold it.
    table->wide_[u] = static_cast<std::uint16_t>(lower <= 0xFFFF ? lower : u);
  }
  table->groupStart_.assign(0x10001, 0);
  for (std::uint32_t u = 0; u <= 0xFFFF; ++u) ++table->groupStart_[table->wide_[u] + 1u];
  for (std::uint32_t f = 0; f < 0x10000; ++f) table->groupStart_[f + 1] += table->groupStart_[f];
  table->byFold_.resize(0x10000);
  std::vector<std::uint32_t> next(table->groupStart_.begin(), table->groupStart_.end() - 1);
  for (std::uint32_t u = 0; u <= 0xFFFF; ++u) table->byFold_[next[table->wide_[u]]++] = static_cast<std::uint16_t>(u);
  slot = table;
  return slot;
}

std::vector<char> TCaseFold::Variants(char c) const {
  std::vector<char> out;
  const char folded = Fold(c);
  for (int b = 0; b < 256; ++b)
    if (narrow_[b] == folded) out.push_back(static_cast<char>(b));
  return out;
}

std::vector<wchar_t> TCaseFold::Variants(wchar_t u) const {
  std::vector<wchar_t> out;
  if (static_cast<std::uint32_t>(u) > 0xFFFF) return {u};
  const std::uint16_t folded = wide_[static_cast<std::uint32_t>(u)];
  for (std::uint32_t k = groupStart_[folded]; k < groupStart_[folded + 1u]; ++k)
    out.push_back(static_cast<wchar_t>(byFold_[k]));
  return out;
}
