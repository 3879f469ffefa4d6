#pragma once
// The compiled form of a search string, independent of the character type.

#include <memory>

class TUtf8PlainSearch;

class TAbstractSearchedPattern {
 public:
  virtual ~TAbstractSearchedPattern() = default;
  virtual bool IsValid() const = 0;
  // The search straight over the bytes of a UTF-8 file that finds this pattern's hits,
  // or (PrefilterOnly) tells which files and lines can hold one; null when the
  // pattern has none that its string allows.
  virtual std::unique_ptr<TUtf8PlainSearch> MakeByteSearch() const;
};
