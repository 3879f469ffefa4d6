#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/AnsiCodePage.h"
#include "text/CodeBytes.h"
#include "text/ConversionTables.h"
#include "text/Conversions.h"

using namespace hovrak;

namespace {

// Every character code page 932 decodes a byte or pair to, with the bytes, except
// the user-defined area and U+0080, which the encoder leaves out on purpose.
struct TCp932Char {
  std::string bytes;
  wchar_t unit;
};

std::vector<TCp932Char> AllCp932Characters() {
  std::vector<TCp932Char> all;
  auto add = [&all](const std::string& bytes) {
    const std::wstring decoded = cp932_to_unicode(bytes);
    if (decoded.size() != 1 || decoded[0] == L'?') return;
    const unsigned u = static_cast<unsigned>(decoded[0]);
    if (u == 0x80 || (u >= 0xE000 && u <= 0xF8FF)) return;
    all.push_back({bytes, decoded[0]});
  };
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(b))) add(std::string(1, static_cast<char>(b)));
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      add(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return all;
}

}  // namespace

TEST(ConversionTables, EveryCp932CharacterRoundTripsThroughEveryCode) {
  const std::vector<TCp932Char> all = AllCp932Characters();
  std::set<wchar_t> distinct;
  std::wstring text;
  for (const TCp932Char& c : all) {
    if (!distinct.insert(c.unit).second) continue;  // a duplicate code of the same character
    text += c.unit;
    const std::wstring one(1, c.unit);
    const std::string sjis = unicode_to_sjis_cp932(one);
    ASSERT_NE(sjis, "?") << std::hex << c.unit;
    EXPECT_EQ(cp932_to_unicode(sjis), one) << std::hex << c.unit;
    const std::string euc = unicode_to_euc(one);
    ASSERT_EQ(euc.size(), 2u) << std::hex << c.unit;  // all in the two-byte rows
    EXPECT_EQ(euc_to_unicode(euc), one) << std::hex << c.unit;
    EXPECT_EQ(jis_to_euc(euc_to_jis(euc)), euc) << std::hex << c.unit;
    EXPECT_EQ(utf8_to_unicode(unicode_to_utf8(one)), one) << std::hex << c.unit;
  }
  EXPECT_EQ(static_cast<int>(distinct.size()), conversion_tables::kUnicodeToSjisEntries);
  EXPECT_EQ(conversion_tables::kUnicodeToSjisEntries, 7389);

  // The same as one text, as a file would be converted.
  EXPECT_EQ(cp932_to_unicode(unicode_to_sjis_cp932(text)), text);
  EXPECT_EQ(euc_to_unicode(unicode_to_euc(text)), text);
  EXPECT_EQ(euc_to_unicode(jis_to_euc(euc_to_jis(unicode_to_euc(text)))), text);
  const std::string utf8 = unicode_to_utf8(text);
  EXPECT_EQ(utf8, WideToAnsi(text));
  EXPECT_EQ(utf8_to_unicode(utf8), AnsiToWide(utf8));
}

TEST(ConversionTables, EucTablesAreInversesOfEachOther) {
  int two_byte = 0;
  for (unsigned lead = 0x8E; lead <= 0xFE; ++lead) {
    if (!IsEucLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string euc{static_cast<char>(lead), static_cast<char>(trail)};
      const std::wstring u = euc_to_unicode(euc);
      if (u.size() != 1 || u[0] == L'?') continue;
      ++two_byte;
      EXPECT_EQ(unicode_to_euc(u), euc) << std::hex << lead << trail;
    }
  }
  EXPECT_EQ(two_byte, 7389);

  int three_byte = 0;
  int kept_two_byte = 0;
  for (unsigned a = 0xA1; a <= 0xFE; ++a) {
    for (unsigned b = 0xA1; b <= 0xFE; ++b) {
      const std::string euc{'\x8F', static_cast<char>(a), static_cast<char>(b)};
      const std::wstring u = euc_to_unicode(euc);
      if (u.size() != 1 || u[0] == L'?') continue;
      ++three_byte;
      const std::string back = unicode_to_euc(u);
      if (back.size() == 2) {
        ++kept_two_byte;  // also in the two-byte rows, which win
        EXPECT_EQ(euc_to_unicode(back), u);
      } else if (u[0] >= 0x80) {
        EXPECT_EQ(back, euc) << std::hex << a << b;
        EXPECT_EQ(jis_to_euc(euc_to_jis(euc)), euc);
      }
    }
  }
  EXPECT_EQ(three_byte, 6067);
  EXPECT_EQ(kept_two_byte, 6067 - 5786 - 1);  // less the tilde, which is ASCII
  EXPECT_EQ(conversion_tables::kUnicodeToEucEntries, 13175);
}
