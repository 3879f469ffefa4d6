#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>

#include "text/Conversions.h"
#include "text/EucToJisEngine.h"
#include "text/EucToUnicodeEngine.h"
#include "text/JisToEucEngine.h"
#include "text/UnicodeToEucEngine.h"
#include "text/UnicodeToSjisCp932Engine.h"
#include "text/UnicodeToUtf8Engine.h"
#include "text/Utf8ToUnicodeEngine.h"

using namespace hovrak;

namespace {

std::wstring W(std::initializer_list<unsigned> units) {
  std::wstring text;
  for (unsigned u : units) text += static_cast<wchar_t>(u);
  return text;
}

std::string B(std::initializer_list<unsigned> bytes) {
  std::string text;
  for (unsigned b : bytes) text += static_cast<char>(b);
  return text;
}

}  // namespace

TEST(Cp932Decode, UserDefinedAreaDecodesButDoesNotEncodeBack) {
  EXPECT_EQ(cp932_to_unicode(B({0xF0, 0x40, 0xF9, 0xFC})), W({0xE000, 0xE757}));
  EXPECT_EQ(unicode_to_sjis_cp932(W({0xE000, 0xE757})), "??");
}

TEST(Cp932Decode, MalformedInputGivesQuestionMarkPerByteConsumed) {
  // Unassigned but well-formed pair: both bytes consumed.
  EXPECT_EQ(cp932_to_unicode(B({0x85, 0x40, 0x41})), L"??A");
  // A byte that cannot trail is read again on its own.
  EXPECT_EQ(cp932_to_unicode(B({0x82, 0x20, 0x82, 0xA0})), L"? \x3042");
  // Lead byte at the end.
  EXPECT_EQ(cp932_to_unicode(B({0x41, 0x82})), L"A?");
  // Single bytes outside ASCII and katakana, as code page 932 decodes them.
  EXPECT_EQ(cp932_to_unicode(B({0x80, 0xA0, 0xB1, 0xFD, 0xFF})), W({0x0080, 0xF8F0, 0xFF71, 0xF8F1, 0xF8F3}));
}

TEST(Cp932Decode, StopsAtFirstNul) {
  EXPECT_EQ(cp932_to_unicode(std::string("\x82\xA0\0\x82\xA2", 5)), W({0x3042}));
  EXPECT_EQ(cp932_to_unicode(std::string()), L"");
}

TEST(Cp932Decode, WholeBufferDecodesEachRunBetweenZeroBytesOnItsOwn) {
  // Every byte before a zero byte, lead bytes included, decodes as it would at the
  // end of its run; the zero byte itself is U+0000 and decoding goes on after it.
  for (unsigned b = 1; b < 256; ++b) {
    const std::string run = B({0x82, 0xA0, b});
    const std::string bytes = run + std::string(1, '\0') + B({0x82, 0xA2});
    EXPECT_EQ(cp932_bytes_to_unicode(bytes.data(), bytes.size()), cp932_to_unicode(run) + L'\0' + W({0x3042 + 2})) << b;
  }
  EXPECT_EQ(cp932_bytes_to_unicode("", 0), L"");
  // Long input crosses the output blocks with pairs at every offset.
  std::string sjis;
  std::wstring expected;
  for (int i = 0; i < 3000; ++i) {
    sjis += i % 3 == 0 ? B({0x82, 0xA0}) : B({'a'});
    expected += i % 3 == 0 ? W({0x3042}) : W({'a'});
  }
  EXPECT_EQ(cp932_bytes_to_unicode(sjis.data(), sjis.size()), expected);
  EXPECT_EQ(cp932_to_unicode(sjis), expected);
}

TEST(SjisEncode, PrefersJisThenNecThenNecSelectedIbmCodes) {
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x2252})), B({0x81, 0xE0}));  // also NEC 8790
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x2235})), B({0x81, 0xE6}));  // also NEC, IBM FA5B
  EXPECT_EQ(unicode_to_sjis_cp932(W({0xFFE2})), B({0x81, 0xCA}));  // also EEF9, FA54
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x2160})), B({0x87, 0x54}));  // also IBM FA4A
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x2170})), B({0xEE, 0xEF}));  // also IBM FA40
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x7E8A})), B({0xED, 0x40}));  // also IBM FA5C
}

TEST(SjisEncode, WaveDashAndFriendsAreUnmapped) {
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x301C, 0xFF5E})), B({'?', 0x81, 0x60}));
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x0080, 0x00A2, 0x00A3, 0x00AC, 0x2016, 0x2212})), "??????");
  // Half-width katakana is one byte; ASCII passes through.
  EXPECT_EQ(unicode_to_sjis_cp932(W({'a', 0xFF71, 0x3042})), B({'a', 0xB1, 0x82, 0xA0}));
}

TEST(SjisEncode, SurrogatesAndUnitsBeyondUtf16BecomeQuestionMarks) {
  EXPECT_EQ(unicode_to_sjis_cp932(W({0xD83D, 0xDE00})), "??");
  EXPECT_EQ(unicode_to_euc(W({0xD83D, 0xDE00})), "??");
  // wchar_t can hold more than a UTF-16 unit; such a value must not index the tables.
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x13042, 0xFFFFFFFFu})), "??");
  EXPECT_EQ(unicode_to_euc(W({0x13042, 0xFFFFFFFFu})), "??");
}

TEST(EucDecode, MicrosoftStyleMappingsAndExtensionRows) {
  EXPECT_EQ(euc_to_unicode(B({0xA1, 0xC1, 0xA1, 0xC2, 0xA1, 0xDD, 0xA1, 0xF1, 0xA1, 0xF2, 0xA2, 0xCC})),
            W({0xFF5E, 0x2225, 0xFF0D, 0xFFE0, 0xFFE1, 0xFFE2}));
  EXPECT_EQ(euc_to_unicode(B({0xAD, 0xA1, 0xF9, 0xA1, 0x8E, 0xB1, 0x8F, 0xA2, 0xC2})),
            W({0x2460, 0x7E8A, 0xFF71, 0x00A1}));
}

TEST(EucDecode, MalformedBytes) {
  // Lone lead byte at the end.
  EXPECT_EQ(euc_to_unicode(B({0xA4, 0xA2, 0xA4})), W({0x3042, '?'}));
  // Truncated 8F sequence.
  EXPECT_EQ(euc_to_unicode(B({'x', 0x8F, 0xA2})), L"x??");
  // A second byte below 40 is read again; an unmapped pair advances one byte.
  EXPECT_EQ(euc_to_unicode(B({0xA4, 0x0A, 0xA9, 0xA1, 'z'})), W({'?', '\n', '?', '?', 'z'}));
  // Unmapped JIS X 0212 code: "?" and the two bytes are read again.
  EXPECT_EQ(euc_to_unicode(B({0x8F, 0x41, 0x42})), L"?AB");
  // Stray bytes that cannot start a character keep their value.
  EXPECT_EQ(euc_to_unicode(B({0x80, 0xA0, 0xFF})), W({0x80, 0xA0, 0xFF}));
}

TEST(EucEncode, CharacterOnlyInJisX0212TakesThreeBytes) {
  EXPECT_EQ(unicode_to_euc(W({0x00A1})), B({0x8F, 0xA2, 0xC2}));
  EXPECT_EQ(euc_to_jis(unicode_to_euc(W({0x00A1}))), B({0x1B, '$', '(', 'D', 0x22, 0x42, 0x1B, '(', 'B'}));
  EXPECT_EQ(unicode_to_sjis_cp932(W({0x00A1})), "?");
  // A character of both the NEC rows and JIS X 0212 keeps its two-byte code.
  EXPECT_EQ(unicode_to_euc(W({0x2116})), B({0xAD, 0xE2}));
}

TEST(Utf8Decode, LenientAsDesigned) {
  EXPECT_EQ(utf8_to_unicode(B({0xC3, 0x41})), W({0x00C1}));
  EXPECT_EQ(utf8_to_unicode(B({0xF4, 0x90, 0x80, 0x80})), L"?");
  EXPECT_EQ(utf8_to_unicode(B({0xF0, 0x9F, 0x98, 0x80})), W({0xD83D, 0xDE00}));
  // The last character there is, alone and in a long run of text.
  EXPECT_EQ(utf8_to_unicode(B({0xF4, 0x8F, 0xBF, 0xBF})), W({0xDBFF, 0xDFFF}));
  EXPECT_EQ(utf8_to_unicode(std::string(40, 'a') + "\xF4\x8F\xBF\xBF" + std::string(40, 'b')),
            std::wstring(40, L'a') + W({0xDBFF, 0xDFFF}) + std::wstring(40, L'b'));
  EXPECT_EQ(unicode_to_utf8(W({0xD83D, 0xDE00})), B({0xF0, 0x9F, 0x98, 0x80}));
  // Continuation byte or FE/FF first, a truncated sequence at the end.
  EXPECT_EQ(utf8_to_unicode(B({0x80, 0xFE, 'a', 0xE3, 0x81})), L"??a??");
  // Five-byte form: overlong values are accepted, large ones are not.
  EXPECT_EQ(utf8_to_unicode(B({0xF8, 0x80, 0x80, 0x81, 0x81})), W({0x41}));
  EXPECT_EQ(utf8_to_unicode(B({0xFC, 0x84, 0x80, 0x80, 0x80, 0x80})), L"?");
}

// Long input goes through the block decoder (runs of Japanese characters several at
// a time); fed a byte at a time the engine never sees enough for that, so the two
// must agree on every input, malformed ones included.
TEST(Utf8Decode, RunsDecodeAsOneCharacterAtATime) {
  static const std::string kPieces[] = {"\xE3\x81\x82",
                                        "\xE6\xBC\xA2",
                                        "\xEF\xBC\xA1",
                                        "\xE3\x80\x82",
                                        "\xE0\x41\x42",
                                        "\xEF\xFF\xFF",
                                        "a",
                                        "\n",
                                        "\r\n",
                                        std::string(1, '\0'),
                                        "\xC3\xA9",
                                        "\xF0\x9F\x98\x80",
                                        "\x80",
                                        "\xFE",
                                        "\xF4\x90\x80\x80",
                                        "\xF8\x80\x80\x81\x81",
                                        "abcdefghij",
                                        "\xE3"};
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const unsigned pieces = random() % 200;
    for (unsigned i = 0; i < pieces; ++i) {
      const unsigned roll = random() % 100;
      bytes += kPieces[roll < 70 ? random() % 4 : random() % 18];
    }
    utf8_to_unicode_engine byteByByte;
    for (const char c : bytes) {
      byteByByte.untranslated_buffer += c;
      byteByByte.translate();
    }
    byteByByte.flush();
    ASSERT_TRUE(utf8_to_unicode(bytes) == byteByByte.translated_buffer) << "round " << round;
  }
}

TEST(Utf8Encode, Surrogates) {
  // A high surrogate at the end stays for more input; the flush makes it "?".
  EXPECT_EQ(unicode_to_utf8(W({'a', 0xD83D})), "a?");
  // Lone surrogates elsewhere are encoded as three-byte values.
  EXPECT_EQ(unicode_to_utf8(W({0xD83D, 'b', 0xDE00})), B({0xED, 0xA0, 0xBD, 'b', 0xED, 0xB8, 0x80}));
  EXPECT_EQ(unicode_to_utf8(W({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF})),
            B({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}));
}

TEST(JisDecode, EscapesAndShifts) {
  // ESC $ B kanji, ESC ( J ASCII.
  EXPECT_EQ(euc_to_unicode(jis_to_euc("\x1B$B\x46\x7C\x1B(Jabc")), W({0x65E5, 'a', 'b', 'c'}));
  // Katakana between SO and SI, and by ESC ( I.
  EXPECT_EQ(euc_to_unicode(jis_to_euc("\x0E\x31\x32\x0Fx\x1B(I\x33\x1B(By")), W({0xFF71, 0xFF72, 'x', 0xFF73, 'y'}));
  // JIS X 0212.
  EXPECT_EQ(euc_to_unicode(jis_to_euc("\x1B$(D\x22\x42\x1B(B")), W({0x00A1}));
  // An unknown escape sequence is skipped as three bytes and keeps the set.
  EXPECT_EQ(jis_to_euc("a\x1B(Zb"), "ab");
}

TEST(JisDecode, TextEndingWithoutReturnToAscii) {
  // The last character of a text that stays in JIS X 0212 or SO katakana is whole.
  EXPECT_EQ(euc_to_unicode(jis_to_euc("\x1B$(D\x22\x42")), W({0x00A1}));
  EXPECT_EQ(euc_to_unicode(jis_to_euc("\x0E\x31")), W({0xFF71}));
  // An incomplete kanji, a stray ESC at the end.
  EXPECT_EQ(jis_to_euc("\x1B$B\x46\x7C\x46"), B({0xC6, 0xFC, '?'}));
  EXPECT_EQ(jis_to_euc("ab\x1B("), "ab??");
  EXPECT_EQ(jis_to_euc("ab\x1B$("), "ab???");
}

TEST(JisEncode, EscapesOnlyAtChangesOfSet) {
  const std::string euc = unicode_to_euc(W({'a', 0x30A2, 0xFF71, 'a'}));
  EXPECT_EQ(euc_to_jis(euc), "a\x1B$B\x25\x22\x1B(I\x31\x1B(Ba");
  EXPECT_EQ(euc_to_jis(unicode_to_euc(W({0x65E5}))), "\x1B$B\x46\x7C\x1B(B");
  EXPECT_EQ(euc_to_jis(""), "");
}

TEST(JisEncode, MalformedEucBecomesQuestionMarksInAscii) {
  // Lead byte followed by ASCII, 8F followed by ASCII (three bytes taken), lone lead.
  EXPECT_EQ(euc_to_jis(B({0xC6, 0xFC, 0xC6, 'a'})), "\x1B$B\x46\x7C\x1B(B?a");
  EXPECT_EQ(euc_to_jis(B({0x8F, 'a', 'b', 'c'})), "?c");
  EXPECT_EQ(euc_to_jis(B({0xC6, 0xFC, 0xC6})), "\x1B$B\x46\x7C\x1B(B?");
}

namespace {

// Feeds input to an engine in two pieces cut at every offset: an incomplete
// character at the end of the first piece must wait for the second.
template <class Engine, class In>
void ExpectSameOutputInPieces(const In& input) {
  Engine whole;
  whole.untranslated_buffer = input;
  whole.translate();
  whole.flush();
  for (std::size_t cut = 0; cut <= input.size(); ++cut) {
    Engine engine;
    engine.untranslated_buffer = input.substr(0, cut);
    engine.translate();
    engine.untranslated_buffer += input.substr(cut);
    engine.translate();
    engine.flush();
    EXPECT_EQ(engine.translated_buffer, whole.translated_buffer) << cut;
    EXPECT_TRUE(engine.untranslated_buffer.empty());
  }
}

}  // namespace

TEST(TranslateEngine, InputFedInPiecesGivesTheSameOutput) {
  // Kanji, JIS X 0212, katakana, a supplementary character, ASCII.
  const std::wstring text = W({'a', 0x65E5, 0x00A1, 0xFF71, 0xD83D, 0xDE00, 0x672C, 0x4E02, 'z'});
  const std::string euc = unicode_to_euc(text);
  const std::string jis = euc_to_jis(euc);
  const std::string utf8 = unicode_to_utf8(text);
  ASSERT_EQ(euc_to_unicode(euc), W({'a', 0x65E5, 0x00A1, 0xFF71, '?', '?', 0x672C, 0x4E02, 'z'}));
  ExpectSameOutputInPieces<euc_to_unicode_engine>(euc);
  ExpectSameOutputInPieces<unicode_to_euc_engine>(text);
  ExpectSameOutputInPieces<unicode_to_sjis_cp932_engine>(text);
  ExpectSameOutputInPieces<utf8_to_unicode_engine>(utf8);
  ExpectSameOutputInPieces<unicode_to_utf8_engine>(text);
  ExpectSameOutputInPieces<euc_to_jis_engine>(euc);
  ExpectSameOutputInPieces<jis_to_euc_engine>(jis);
  ExpectSameOutputInPieces<jis_to_euc_engine>(std::string("\x0E\x31\x32\x0F\x1B$(D\x22\x42"));

  // translate_range converts the caller's input in place and leaves the incomplete
  // rest to the caller, without touching untranslated_buffer.
  jis_to_euc_engine ranged;
  const std::string cut = jis.substr(0, jis.size() - 1);
  const std::size_t consumed = ranged.translate_range(cut.data(), cut.size());
  EXPECT_TRUE(ranged.untranslated_buffer.empty());
  ranged.untranslated_buffer = cut.substr(consumed) + jis.substr(jis.size() - 1);
  ranged.translate();
  ranged.flush();
  EXPECT_EQ(ranged.translated_buffer, euc);

  // The JIS engines keep their set between calls; clear resets it.
  jis_to_euc_engine decoder;
  decoder.untranslated_buffer = "\x1B$B";
  decoder.translate();
  EXPECT_EQ(decoder.status, jis_X0208);
  decoder.clear();
  EXPECT_EQ(decoder.status, 0);
  EXPECT_TRUE(decoder.untranslated_buffer.empty() && decoder.translated_buffer.empty());
}

TEST(TranslateEngine, LongTextsCrossManyBlocks) {
  // Mixed widths so that block ends fall at every offset of a character.
  std::wstring text;
  for (int i = 0; i < 3000; ++i) {
    text += static_cast<wchar_t>(0x3042 + i % 80);  // hiragana
    text += static_cast<wchar_t>('a' + i % 26);
    if (i % 7 == 0) text += W({0xD83D, 0xDE00});
    if (i % 5 == 0) text += W({0xFF71});
  }
  EXPECT_EQ(utf8_to_unicode(unicode_to_utf8(text)), text);
  std::wstring no_emoji;
  for (wchar_t c : text) no_emoji += (c == 0xD83D || c == 0xDE00) ? L'?' : c;
  EXPECT_EQ(euc_to_unicode(unicode_to_euc(text)), no_emoji);
  EXPECT_EQ(euc_to_unicode(jis_to_euc(euc_to_jis(unicode_to_euc(text)))), no_emoji);
  EXPECT_EQ(cp932_to_unicode(unicode_to_sjis_cp932(text)), no_emoji);
}
