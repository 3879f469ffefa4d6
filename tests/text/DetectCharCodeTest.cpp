#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestSupport.h"
#include "text/DetectCharCode.h"

using namespace std::string_literals;

namespace {

TCharCode Detect(const std::string& bytes) {
  std::unique_ptr<char[]> exact(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return DetectCharCode(exact.get(), bytes.size());
}

TCharCode DetectFile(const std::string& name) {
  return DetectCharCode(ReadWholeFile(TestDataPath("detect/" + name)));
}

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
  EXPECT_NE(Detect("ab\xFF\xFE" "c"), TCharCode::UTF16);
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
  for (const std::string& bytes : {"\x82"s, "\0"s, "\xE3\x81"s, "abcd\xE3"s, "\x8F\xA1"s, "\xFF"s,
                                   "\xEF\xBB"s, "\x1B"s, std::string(3000, '\x82'),
                                   std::string(3000, '\0'), std::string(5000, '\xE3')}) {
    (void)Detect(bytes);
  }
}
