#include <gtest/gtest.h>

#include <string>

#include "text/LineEndStyle.h"

namespace {

TLineEndStyle Of(const std::string& text) { return FindLineEndStyle(text.data(), text.size()); }

TEST(LineEndStyle, EveryLineEndCountsNotOnlyTheFirst) {
  EXPECT_EQ(Of(""), TLineEndStyle::None);
  EXPECT_EQ(Of("no end"), TLineEndStyle::None);
  EXPECT_EQ(Of("a\nb\n"), TLineEndStyle::Lf);
  EXPECT_EQ(Of("a\r\nb\r\n"), TLineEndStyle::CrLf);
  EXPECT_EQ(Of("a\rb\r"), TLineEndStyle::Cr);
  EXPECT_EQ(Of("a\r\nb\n"), TLineEndStyle::Mixed);
  EXPECT_EQ(Of("a\nb\r\n"), TLineEndStyle::Mixed);
  EXPECT_EQ(Of("a\r\nb\rc\r\n"), TLineEndStyle::Mixed);
  EXPECT_EQ(Of(std::string(5000, 'x') + "\r\n" + std::string(5000, 'y') + "\r"), TLineEndStyle::Mixed);
  EXPECT_EQ(Of("\r"), TLineEndStyle::Cr);
  const std::wstring wide = L"一\r\n二\r\n";
  EXPECT_EQ(FindLineEndStyle(wide.data(), wide.size()), TLineEndStyle::CrLf);
}

TEST(LineEndStyle, Utf16BytesAreReadAsUnits) {
  // "a" CR LF "b" LF: mixed as units, though a byte scan would see CR 00 LF.
  const std::string units(
      "\xFF\xFE"
      "a\0\r\0\n\0b\0\n\0",
      12);
  EXPECT_EQ(LineEndStyleOfBytes(units, TCharCode::UTF16), TLineEndStyle::Mixed);
  EXPECT_EQ(LineEndStyleOfBytes(std::string("\xFF\xFE"
                                            "a\0\r\0\n\0",
                                            8),
                                TCharCode::UTF16),
            TLineEndStyle::CrLf);
  // A unit 0x0D0A is no line end; an odd last byte is a unit of its own.
  EXPECT_EQ(LineEndStyleOfBytes(std::string("\x0A\x0D\n", 3), TCharCode::UTF16), TLineEndStyle::Lf);
  EXPECT_STREQ(LineEndStyleText(TLineEndStyle::CrLf), "CR LF");
  EXPECT_STREQ(LineEndStyleText(TLineEndStyle::Mixed), "mixed");
}

}  // namespace
