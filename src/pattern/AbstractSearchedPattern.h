#pragma once
// The compiled form of a search string, independent of the character type.

class TAbstractSearchedPattern {
 public:
  virtual ~TAbstractSearchedPattern() = default;
  virtual bool IsValid() const = 0;
};
