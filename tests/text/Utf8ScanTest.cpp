#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/Conversions.h"
#include "text/Utf8Scan.h"

using hovrak::ClassifyUtf8;
using hovrak::ClassifyUtf8Scalar;
using hovrak::TUtf8Form;

namespace {

// Both forms of the check must give the same answer; returns it.
TUtf8Form Classify(const std::string& bytes) {
  const TUtf8Form vector = ClassifyUtf8(bytes.data(), bytes.size());
  const TUtf8Form scalar = ClassifyUtf8Scalar(bytes.data(), bytes.size());
  EXPECT_EQ(vector, scalar) << testing::PrintToString(bytes);
  return scalar;
}

// bytes placed at every offset around the 32-byte blocks of the vector check.
void ExpectEverywhere(const std::string& bytes, TUtf8Form expected) {
  for (std::size_t offset = 0; offset < 70; ++offset) {
    std::string text(offset, 'a');
    text += bytes;
    EXPECT_EQ(Classify(text), expected) << "offset " << offset << " " << testing::PrintToString(bytes);
    text += "b";
    EXPECT_EQ(Classify(text), expected) << "offset " << offset << " followed";
  }
}

}  // namespace

TEST(Utf8Scan, WellFormedTextAtEveryBlockOffset) {
  EXPECT_EQ(Classify(""), TUtf8Form::Ascii);
  ExpectEverywhere("plain", TUtf8Form::Ascii);
  ExpectEverywhere("\xC2\x80", TUtf8Form::Utf8);                  // U+0080
  ExpectEverywhere("\xDF\xBF", TUtf8Form::Utf8);                  // U+07FF
  ExpectEverywhere("\xE0\xA0\x80", TUtf8Form::Utf8);              // U+0800
  ExpectEverywhere("\xE3\x81\x82\xE6\xBC\xA2", TUtf8Form::Utf8);  // あ漢
  ExpectEverywhere("\xED\x9F\xBF", TUtf8Form::Utf8);              // U+D7FF
  ExpectEverywhere("\xEE\x80\x80\xEF\xBF\xBF", TUtf8Form::Utf8);  // U+E000, U+FFFF
  ExpectEverywhere("\xF0\x90\x80\x80", TUtf8Form::Utf8);          // U+10000
  ExpectEverywhere("\xF0\x9F\x98\x80", TUtf8Form::Utf8);          // 😀
  ExpectEverywhere("\xF4\x8F\xBF\xBF", TUtf8Form::Utf8);          // U+10FFFF
}

TEST(Utf8Scan, EveryKindOfMalformedSequenceAtEveryBlockOffset) {
  for (const char* bad : {
           "\x80",
           "\xBF",
           "\xC0\xAF",
           "\xC1\xBF",  // stray continuation, overlong
           "\xC2",
           "\xC2"
           "a",
           "\xE3\x81",
           "\xE3\x81"
           "a",  // cut or interrupted
           "\xE3"
           "a\x82",
           "\xE0\x80\x80",
           "\xE0\x9F\xBF",  // overlong three bytes
           "\xED\xA0\x80",
           "\xED\xBF\xBF",  // surrogates
           "\xF0\x80\x80\x80",
           "\xF0\x8F\xBF\xBF",  // overlong four bytes
           "\xF4\x90\x80\x80",
           "\xF5\x80\x80\x80",
           "\xF8\x88\x80\x80\x80",
           "\xFE",
           "\xFF",
           "\xF0\x9F\x98",
           "\xF0\x9F",
           "\xE3\x81\x82\x82",  // cut, one continuation too many
       })
    ExpectEverywhere(bad, TUtf8Form::Malformed);
}

TEST(Utf8Scan, VectorAndScalarAgreeOnEveryTwoByteAndManyLongerSequences) {
  // Every pair of bytes, and every lead with every second byte followed by a choice
  // of third and fourth bytes; placed across a block boundary.
  const std::string before(30, 'x');
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      std::string pair = before + char(a) + char(b);
      Classify(pair);
      if (a >= 0xE0 && a <= 0xF7) {
        for (int c : {0x00, 0x41, 0x80, 0xA5, 0xBF, 0xC3, 0xE3}) {
          Classify(pair + char(c));
          for (int d : {0x20, 0x80, 0xBF, 0xF0}) Classify(pair + char(c) + char(d));
        }
      }
    }
  }
}

TEST(Utf8Scan, VectorAndScalarAgreeOnRandomMixtures) {
  std::mt19937 random(7);
  const char* pieces[] = {"a", "\n", "\xE3\x81\x82", "\xE6\xBC\xA2", "\xC3\xA9", "\xF0\x9F\x98\x80", "\r\n"};
  int malformed = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 120);
    for (int i = 0; i < length; ++i) {
      // Mostly well-formed pieces, now and then one random byte.
      if (random() % 200 == 0) text += static_cast<char>(random() % 256);
      else text += pieces[random() % 7];
    }
    if (Classify(text) == TUtf8Form::Malformed) ++malformed;
  }
  EXPECT_GT(malformed, 1000);
}

TEST(Utf8Scan, Utf16LengthCountsSurrogatePairsTwice) {
  const std::string text = "a\xE3\x81\x82\xC3\xA9\xF0\x9F\x98\x80\n";
  EXPECT_EQ(hovrak::Utf16Length(text.data(), text.size()), 6u);
  EXPECT_EQ(hovrak::Utf16Length(text.data(), 0), 0u);
  // Every stretch of a longer text that starts and ends between characters, so that
  // the counting sixteen bytes at a time meets every alignment and every tail.
  std::string longer;
  for (int i = 0; i < 12; ++i) longer += text + "\xEF\xBD\x81" + "bc";
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i <= longer.size(); ++i)
    if (i == longer.size() || (static_cast<unsigned char>(longer[i]) & 0xC0) != 0x80) starts.push_back(i);
  for (const std::size_t from : starts) {
    for (const std::size_t to : starts) {
      if (from > to) continue;
      ASSERT_EQ(hovrak::Utf16Length(longer.data() + from, to - from),
                hovrak::utf8_to_unicode(longer.substr(from, to - from)).size())
          << from << ".." << to;
    }
  }
}
