#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "text/AnalyzeEncoding.h"

using hovrak::TEncoding;
using namespace std::string_literals;

namespace {

// Copies into a buffer of exactly the input size, so that the sanitizer sees any read
// past the end.
TEncoding Analyze(const std::string& bytes, std::size_t limit = 2000) {
  std::unique_ptr<char[]> exact(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return hovrak::analyze_encoding(exact.get(), bytes.size(), limit);
}

}  // namespace

TEST(AnalyzeEncoding, NothingToLookAt) {
  EXPECT_EQ(Analyze(""), TEncoding::None);
  EXPECT_EQ(Analyze("\x82\xCC", 0), TEncoding::None);
  EXPECT_EQ(Analyze("abc"), TEncoding::ASCII);
  EXPECT_EQ(Analyze("a\tb\r\n"), TEncoding::ASCII);
}

TEST(AnalyzeEncoding, ByteOrderMarksOnlyAtTheStart) {
  EXPECT_EQ(Analyze("\0\0\xFE\xFF\0\0\0a"s), TEncoding::UTF32BE);
  EXPECT_EQ(Analyze("\xFF\xFE\0\0a\0\0\0"s), TEncoding::UTF32LE);
  EXPECT_EQ(Analyze("\xEF\xBB\xBF"), TEncoding::UTF8);
  EXPECT_EQ(Analyze("\xFE\xFF\0a"s), TEncoding::UTF16BE);
  EXPECT_EQ(Analyze("\xFF\xFE"), TEncoding::UTF16LE);
  // The head is the data's first four bytes even when the limit is shorter.
  EXPECT_EQ(Analyze("\xEF\xBB\xBF", 1), TEncoding::UTF8);
  // Not at offset 0: the bytes are scored like any others.
  EXPECT_NE(Analyze("abcd\xEF\xBB\xBF"), TEncoding::UTF8);
}

TEST(AnalyzeEncoding, ZeroBytes) {
  // Two zero bytes: at an offset divisible by 4, at 2 modulo 4, at an odd offset.
  EXPECT_EQ(Analyze("\0\0\0a"s), TEncoding::UTF32BE);
  EXPECT_EQ(Analyze("ab\0\0"s), TEncoding::UTF32LE);
  EXPECT_EQ(Analyze("a\0\0\0"s), TEncoding::UTF16LE);  // zeros at 1, 2, 3: two odd
  // Single zeros: more at odd offsets is little-endian, otherwise big-endian.
  EXPECT_EQ(Analyze("a\0b\0c\0"s), TEncoding::UTF16LE);
  EXPECT_EQ(Analyze("\0a\0b\0c"s), TEncoding::UTF16BE);
  EXPECT_EQ(Analyze("\0aa\0"s), TEncoding::UTF16BE);  // one each
  // Zeros beyond the limit are not seen.
  EXPECT_EQ(Analyze("abcd\0\0\0\0"s, 4), TEncoding::ASCII);
}

TEST(AnalyzeEncoding, JISEscapes) {
  EXPECT_EQ(Analyze("a\x1B$B$\"\x1B(B"), TEncoding::JIS);
  EXPECT_EQ(Analyze("\x1B(I1"), TEncoding::JIS);
  EXPECT_EQ(Analyze("\x1B$(DQ!"), TEncoding::JIS);
  // An escape wins over high bytes.
  EXPECT_EQ(Analyze("\x82\xCC\x82\xCC\x1B$B"), TEncoding::JIS);
  // Other escapes are ASCII unless SI appears anywhere in the sample.
  EXPECT_EQ(Analyze("abc\x1B(Jdef\x1B(B"), TEncoding::ASCII);
  EXPECT_EQ(Analyze("abc\x1B(Jdef\x1B(B\x0F"), TEncoding::JIS);
  EXPECT_EQ(Analyze("\x0E"
                    "abc\x0F"),
            TEncoding::JIS);
}

TEST(AnalyzeEncoding, ScoresDecide) {
  // の and ー in each code.
  EXPECT_EQ(Analyze("x\x82\xCC\x81\x5B"), TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("x\xA4\xCE\xA1\xBC"), TEncoding::EUCJP);
  EXPECT_EQ(Analyze("x\xE3\x81\xAE\xE3\x83\xBC"), TEncoding::UTF8);
  // Equal Shift-JIS and EUC-JP scores above the UTF-8 score give EUC-JP.
  EXPECT_EQ(Analyze("\x80"), TEncoding::EUCJP);
}

TEST(AnalyzeEncoding, ThreeWayTies) {
  // "\xFE" "a" is one invalid sequence in every code.
  EXPECT_EQ(Analyze("\xFE"
                    "a\n"),
            TEncoding::EUCJP);
  EXPECT_EQ(Analyze("\xFE"
                    "a\r\n"),
            TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("\xFE"
                    "a\n\r"),
            TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("\xFE"
                    "a\r"),
            TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("\xFE"
                    "a"),
            TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("charset=UTF-8 \xFE"
                    "a"),
            TEncoding::UTF8);
  EXPECT_EQ(Analyze("Shift_JIS or UTF-8 \xFE"
                    "a"),
            TEncoding::ShiftJIS);
  EXPECT_EQ(Analyze("EUC-JP, not UTF-8 \xFE"
                    "a"),
            TEncoding::EUCJP);
  EXPECT_EQ(Analyze("euc before sjis \xFE"
                    "a"),
            TEncoding::EUCJP);
  EXPECT_EQ(Analyze("shift-jis before EUC \xFE"
                    "a"),
            TEncoding::ShiftJIS);
  // Names are looked for in the whole sample, also after the scored bytes.
  EXPECT_EQ(Analyze("\xFE"
                    "a coded in UTF-8"),
            TEncoding::UTF8);
}

TEST(AnalyzeEncoding, ScoresOnlyUpToTheEndOfTheSample) {
  // The first high byte lies 4 bytes before the limit: within the sample it reads
  // the same in Shift-JIS and EUC-JP (EUC-JP wins); the half-width katakana after
  // the limit would make Shift-JIS win if they were scored.
  std::string bytes(1996, 'a');
  bytes +=
      "\x80"
      "bcd";
  for (int i = 0; i < 50; ++i)
    bytes +=
        "\xB1"
        "a";
  EXPECT_EQ(Analyze(bytes), TEncoding::EUCJP);
  EXPECT_EQ(Analyze(bytes, bytes.size()), TEncoding::ShiftJIS);
}

TEST(AnalyzeEncoding, ScoresAWindowOf256Bytes) {
  // Shift-JIS text, then (from 256 bytes after the first high byte) UTF-8 text that
  // would outweigh it.
  std::string bytes;
  for (int i = 0; i < 128; ++i) bytes += "\x82\xCC";      // の
  for (int i = 0; i < 200; ++i) bytes += "\xE3\x80\x80";  // ideographic space
  EXPECT_EQ(Analyze(bytes), TEncoding::ShiftJIS);
}

TEST(AnalyzeEncoding, BrokenInputNeverReadsPastTheEnd) {
  for (const std::string& bytes :
       {"\x82"s, "\xE3"s, "\xE3\x81"s, "\x8F"s, "\x8F\xA1"s, "\xFC"s, "\x1B"s, "\x1B$"s, "\x1B$("s, "\0"s, "\xFF"s,
        "\xFE"s, "\xEF\xBB"s, "\0\0\xFE"s, "a\x82"s, "abc\xE3\x81"s}) {
    (void)Analyze(bytes);
    (void)Analyze(bytes, 1);
  }
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    const TEncoding outcome = Analyze(bytes, random() % 50);
    EXPECT_LE(static_cast<int>(outcome), static_cast<int>(TEncoding::UTF32LE));
  }
}
