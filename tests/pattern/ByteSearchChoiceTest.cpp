#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pattern/CreateSearchedPattern.h"
#include "pattern/PlaceSharing.h"
#include "pattern/Utf8PlainSearch.h"

namespace {

std::unique_ptr<TUtf8PlainSearch> ByteSearchOf(const std::string& text, std::uint8_t mode, bool caseSensitive,
                                               bool wide = true) {
  TSearchInfo info;
  info.IsWide = wide;
  info.Text = text;
  info.Mode = mode;
  info.CaseSensitive = caseSensitive;
  info.Escape = true;
  return CreateSearchedPattern(info)->MakeByteSearch();
}

}  // namespace

// Each pattern offers the byte search its string allows: the whole search for plain
// strings, a prefilter for expressions with a required run, none otherwise.
TEST(ByteSearchChoice, EachPatternOffersTheSearchItsStringAllows) {
  const auto plain = ByteSearchOf("会議", 0, true);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->PrefilterOnly());
  EXPECT_TRUE(plain->Occurs("\xE4\xBC\x9A\xE8\xAD\xB0"));

  const auto folded = ByteSearchOf("Kelvin", 0, false);
  ASSERT_TRUE(folded);
  EXPECT_FALSE(folded->PrefilterOnly());
  EXPECT_TRUE(folded->Occurs("a KELVIN b"));

  const auto regex = ByteSearchOf("abc\\d", 2, false);
  ASSERT_TRUE(regex);
  EXPECT_TRUE(regex->PrefilterOnly());
  EXPECT_TRUE(regex->Occurs("xABC1"));
  EXPECT_FALSE(regex->Occurs("xy z"));

  EXPECT_FALSE(ByteSearchOf("[a-z]+", 2, true));       // no required run
  EXPECT_FALSE(ByteSearchOf("a\\nb", 0, true));        // a line end: bytes and text differ
  EXPECT_FALSE(ByteSearchOf("会議", 0, true, false));  // narrow: the bytes are the text
}

// The places of a file copy their texts until the copies would take more than the
// text itself; a list that keeps no places borrows the text from the first place.
TEST(ByteSearchChoice, PlacesShareTheTextOnceTheirCopiesOutgrowIt) {
  const std::wstring text(100, L'x');  // 400 bytes of wchar_t
  TPlaceSharing<wchar_t> kept;
  kept.SetText(text);
  const std::size_t units = 30;  // 120 bytes and the block: 136 per place
  EXPECT_FALSE(kept.ShareNext("f", true, units));
  EXPECT_FALSE(kept.ShareNext("f", true, units));
  EXPECT_TRUE(kept.ShareNext("f", true, units));  // 408 > 400
  ASSERT_TRUE(kept.Shared());
  EXPECT_FALSE(kept.Shared()->Borrowed);
  EXPECT_EQ(kept.Shared()->Text, text);
  EXPECT_NE(kept.Shared()->Text.data(), text.data());
  EXPECT_TRUE(kept.ShareNext("f", true, 0));  // once shared, always shared

  TPlaceSharing<wchar_t> dropped;
  dropped.SetBytes("abc", TNewLineKind::CrLf);
  EXPECT_TRUE(dropped.ShareNext("g", false, 1));
  EXPECT_TRUE(dropped.Shared()->Borrowed);
  EXPECT_TRUE(dropped.Shared()->Utf8);
  EXPECT_EQ(dropped.Shared()->Kind, TNewLineKind::CrLf);
  EXPECT_EQ(dropped.Shared()->Name, "g");

  TPlaceSharing<char> unknown;  // no text to share: every place copies, one name
  EXPECT_FALSE(unknown.ShareNext("h", false, 1000));
  EXPECT_EQ(unknown.File("h").get(), unknown.File("h").get());
}
