#pragma once
// The character sets a JIS text switches between, as held in the JIS engines'
// status field.

namespace hovrak {

enum TJisSet : int {
  jis_ASCII = 0,  // ESC ( B or ESC ( J
  jis_X0208 = 1,  // ESC $ B
  jis_K1 = 2,     // half-width katakana chosen by ESC ( I
  jis_X0212 = 3,  // ESC $ ( D
  jis_S = 4,      // half-width katakana chosen by SO (until SI)
};

}  // namespace hovrak
