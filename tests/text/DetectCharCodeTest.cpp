#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "TestSupport.h"
#include "text/DetectCharCode.h"
#include "text/ScoredFirst.h"
#include "text/Utf8Scan.h"

using namespace std::string_literals;

namespace {

TCharCode Detect(const std::string& bytes) {
  std::unique_ptr<char[]> exact(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return DetectCharCode(exact.get(), bytes.size());
}

TCharCode DetectFile(const std::string& name) { return DetectCharCode(ReadWholeFile(TestDataPath("detect/" + name))); }

}  // namespace

TEST(DetectCharCode, RealJapaneseText) {
  for (const char* ends : {"", "-crlf"}) {
    const std::string e = ends;
    EXPECT_EQ(DetectFile("sjis" + e + ".txt"), TCharCode::SJIS) << e;
    EXPECT_EQ(DetectFile("euc" + e + ".txt"), TCharCode::EUC) << e;
    EXPECT_EQ(DetectFile("jis" + e + ".txt"), TCharCode::JIS) << e;
    EXPECT_EQ(DetectFile("utf8" + e + ".txt"), TCharCode::UTF8N) << e;
    EXPECT_EQ(DetectFile("utf8bom" + e + ".txt"), TCharCode::UTF8) << e;
    EXPECT_EQ(DetectFile("utf16le" + e + ".txt"), TCharCode::UTF16) << e;
    // Big-endian UTF-16 is not a code the system reads.
    EXPECT_EQ(DetectFile("utf16be" + e + ".txt"), TCharCode::Unknown) << e;
  }
}

TEST(DetectCharCode, TextAfterALongASCIIPrefix) {
  // Only the first 2000 bytes from the first non-text byte on are looked at, wherever
  // that byte lies.
  const std::string prefix(100001, 'a');
  EXPECT_EQ(Detect(prefix + ReadWholeFile(TestDataPath("detect/sjis.txt"))), TCharCode::SJIS);
  EXPECT_EQ(Detect(prefix + ReadWholeFile(TestDataPath("detect/euc.txt"))), TCharCode::EUC);
  EXPECT_EQ(Detect(prefix + ReadWholeFile(TestDataPath("detect/utf8.txt"))), TCharCode::UTF8N);
  // A mark after the start is no mark.
  EXPECT_NE(Detect("ab\xFF\xFE"
                   "c"),
            TCharCode::UTF16);
}

TEST(DetectCharCode, PureASCIIHandsOverItsLastBytes) {
  EXPECT_EQ(Detect(""), TCharCode::Unknown);
  EXPECT_EQ(Detect("abcd\r\n\tx"), TCharCode::Unknown);  // 8 bytes: nothing left over
  EXPECT_EQ(Detect("abcde"), TCharCode::ASCII);
  EXPECT_EQ(Detect("x"), TCharCode::ASCII);
}

TEST(DetectCharCode, MarksAndUTF16) {
  EXPECT_EQ(Detect("\xFF\xFE"), TCharCode::UTF16);
  EXPECT_EQ(Detect("\xEF\xBB\xBF"), TCharCode::UTF8);
  EXPECT_EQ(Detect("\xFE\xFF\0a"s), TCharCode::Unknown);
  // UTF-16 without a mark: with zero bytes Unknown, without them judged as bytes.
  EXPECT_EQ(Detect("a\0b\0c\0"s), TCharCode::Unknown);
  EXPECT_NE(Detect("\xE5\x65\x2C\x67\x9E\x8A"), TCharCode::UTF16);  // 日本語 in UTF-16LE
}

TEST(DetectCharCode, JISAndEscapes) {
  EXPECT_EQ(Detect("\x1B$B$\"\x1B(B\x82\xCC"), TCharCode::JIS);
  EXPECT_EQ(Detect("text \x1B(Jmore\x1B(B end"), TCharCode::ASCII);
  EXPECT_EQ(Detect("text \x1B(Jmore\x1B(B end\x0F"), TCharCode::JIS);
}

TEST(DetectCharCode, BrokenInputNeverCrashes) {
  for (const std::string& bytes : {"\x82"s, "\0"s, "\xE3\x81"s, "abcd\xE3"s, "\x8F\xA1"s, "\xFF"s, "\xEF\xBB"s, "\x1B"s,
                                   std::string(3000, '\x82'), std::string(3000, '\0'), std::string(5000, '\xE3')}) {
    (void)Detect(bytes);
  }
}

TEST(DetectCharCode, JapaneseCharacters) {
  // Inside each range and just outside it.
  for (std::uint32_t c : {0x3000u, 0x3005u, 0x303Fu, 0x3041u, 0x30A2u, 0x30FFu, 0x31F0u, 0x31FFu, 0x4E00u, 0x4E9Cu,
                          0x9FFFu, 0xFF01u, 0xFF71u, 0xFFEFu, 0xFF00u})
    EXPECT_TRUE(IsJapaneseCharacter(c)) << std::hex << c;
  for (std::uint32_t c : {0x41u, 0xA0u, 0xE9u, 0x1E7u, 0x2026u, 0x2FFFu, 0x3100u, 0x31EFu, 0x3200u, 0x4DFFu, 0xA000u,
                          0xFEFFu, 0xFFF0u, 0xFFFDu, 0x20B9Fu})
    EXPECT_FALSE(IsJapaneseCharacter(c)) << std::hex << c;
}

TEST(DetectCharCode, ShortJapaneseUtf8IsUtf8WhateverTheScoresSay) {
  // Short texts whose few characters score higher as Shift-JIS or EUC-JP.
  const char* const words[] = {"会議",       "東京都 abc", "日本",        "検索",      "置換",     "ファイル",
                               "文字コード", "こんにちは", "ありがとう",  "山田太郎",  "株式会社", "「はい」",
                               "ＡＢＣ",     "ｶﾀｶﾅ",       "亜",          "鬱",        "々",       "ヴ",
                               "ㇰ",         "〒100-0001", "価格: 100円", "See 第3章", "x = 値"};
  for (const char* word : words) {
    for (const char* end : {"", "\n", "\r\n"}) {
      const std::string text = std::string(word) + end;
      EXPECT_EQ(Detect(text), TCharCode::UTF8N) << text;
      EXPECT_EQ(Detect("#include <x>\n// " + text), TCharCode::UTF8N) << text;
    }
  }
  // Japanese text later in the file counts, after other UTF-8 and past the window.
  EXPECT_EQ(Detect("caf\xC3\xA9\n" + std::string(3000, 'a') + "\n会議\n"), TCharCode::UTF8N);
  EXPECT_EQ(Detect("会議\n" + std::string(5000, 'a')), TCharCode::UTF8N);
}

TEST(DetectCharCode, ValidUtf8WithoutJapaneseKeepsTheScoredCode) {
  // Shift-JIS and EUC-JP text that happens to be well-formed UTF-8 decodes to other
  // scripts: 認 in EUC-JP is U+01E7, ﾃｩ in Shift-JIS is é.
  const struct {
    std::string Bytes;
    TCharCode Scored;
  } cases[] = {
      {"\xC7\xA7", TCharCode::EUC},                           // 認 (EUC-JP)
      {"\xC7\xBD\n", TCharCode::EUC},                         // 能 (EUC-JP)
      {"\xCB\xA1: apt-cdrom", TCharCode::EUC},                // 法: apt-cdrom (EUC-JP)
      {"\n\tDLL \xCC\xBE: %s\n", TCharCode::EUC},             // DLL 名: %s (EUC-JP)
      {"\xC3\xA9\r\n", TCharCode::SJIS},                      // ﾃｩ (Shift-JIS)
      {"%.1f\xC2\xA0MB\n%.1f\xC2\xA0GB\n", TCharCode::SJIS},  // UTF-8 with no-break spaces only
  };
  for (const auto& c : cases) EXPECT_EQ(Detect(c.Bytes), c.Scored) << testing::PrintToString(c.Bytes);
}

TEST(DetectCharCode, Utf8MustHoldToTheEnd) {
  // Well-formed in the window but not further on: read as the scores say, so that a
  // replace never writes UTF-8 into a file that is not.
  const std::string head = "会議\n" + std::string(3000, 'a');
  EXPECT_EQ(Detect(head + "\x89\xEF\x8B\x63\n"), TCharCode::SJIS);  // 会議 in Shift-JIS
  EXPECT_EQ(Detect(head + "\xE3\x81"), TCharCode::SJIS);            // cut short
  EXPECT_EQ(Detect(head + "\xED\xA0\x80"), TCharCode::SJIS);        // a surrogate
  EXPECT_EQ(Detect(head + "\xC0\xAF"), TCharCode::SJIS);            // an overlong form
}

TEST(DetectCharCode, MarksJISAndZeroBytesComeFirst) {
  EXPECT_EQ(Detect("\xFF\xFE会議"), TCharCode::UTF16);
  EXPECT_EQ(Detect("\xEF\xBB\xBF会議"), TCharCode::UTF8);
  EXPECT_EQ(Detect("\x1B$B$\"\x1B(B 会議"), TCharCode::JIS);
  EXPECT_EQ(Detect("会議\0\0"s), TCharCode::Unknown);
}

// Most UTF-8 is told without scoring; NULs, SI and ESC among the scored bytes still
// let the scores speak first.
TEST(DetectCharCode, AnswersAsScoringFirstWould) {
  static const std::string kPieces[] = {"\xE3\x81\x82",
                                        "\xE6\xBC\xA2",
                                        "\xEF\xBC\xA1",
                                        "\xC3\xA9",
                                        "\xF0\x9F\x98\x80",
                                        "abc ",
                                        "\r\n",
                                        "\n",
                                        "\x82\xA0",
                                        "\x8A\xBF",
                                        "\xA4\xA2",
                                        "\xB4\xC1",
                                        "\x8E\xB1",
                                        std::string(1, '\0'),
                                        std::string(2, '\0'),
                                        "\x1B$B",
                                        "\x1B(B",
                                        "\x0F",
                                        "\x0E",
                                        "UTF-8",
                                        "Shift_JIS",
                                        "EUC",
                                        "\xE3\x81",
                                        "\xFF\xFE"};
  std::mt19937 random(6);
  int utf8 = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(round % 10 == 0 ? 1990 + random() % 40 : random() % 8, 'x');
    const unsigned pieces = random() % 1200;
    // Mostly one kind of text with a few others mixed in.
    const unsigned main = random() % 13;
    for (unsigned i = 0; i < pieces; ++i) {
      const unsigned roll = random() % 1000;
      bytes += kPieces[roll < 985 ? (roll < 500 ? main : random() % 8) : random() % 24];
    }
    bool wellFormed = false;
    const TCharCode code = DetectCharCode(bytes, &wellFormed);
    ASSERT_EQ(code, ScoredFirst(bytes)) << "round " << round;
    if (wellFormed) {
      ++utf8;
      EXPECT_EQ(code, TCharCode::UTF8N);
      EXPECT_EQ(hovrak::ClassifyUtf8(bytes.data(), bytes.size()), hovrak::TUtf8Form::Utf8);
    }
  }
  EXPECT_GT(utf8, 150);
}
