#pragma once
// The compiled form of a replacement string, independent of the character type.

class TAbstractReplacingPattern {
 public:
  virtual ~TAbstractReplacingPattern() = default;
};
