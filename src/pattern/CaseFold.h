#pragma once
// How the regular-expression engine folds case when case is ignored: every unit goes
// to the lower case of the global locale's character class table, exactly as
// Boost.Regex's traits translate it, so a search that folds with this table finds the
// hits of the engine. One table per locale, built on first use.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCaseFold {
 public:
  // The table of the current global locale.
  static std::shared_ptr<const TCaseFold> OfGlobalLocale();

  char Fold(char c) const { return narrow_[static_cast<unsigned char>(c)]; }
  wchar_t Fold(wchar_t u) const {
    const auto code = static_cast<std::uint32_t>(u);
    return code <= 0xFFFF ? static_cast<wchar_t>(wide_[code]) : u;
  }

  // Every unit (byte, or UTF-16 unit) that folds as u does, u included, ascending.
  std::vector<char> Variants(char c) const;
  std::vector<wchar_t> Variants(wchar_t u) const;

  std::string LocaleName() const { return localeName_; }

 private:
  TCaseFold() = default;

  std::string localeName_;
  char narrow_[256] = {};
  std::vector<std::uint16_t> wide_;  // 65536 entries
  // Every unit grouped by what it folds to: the units folding to f are
  // byFold_[groupStart_[f], groupStart_[f + 1]), ascending.
  std::vector<std::uint32_t> groupStart_;
  std::vector<std::uint16_t> byFold_;
};
