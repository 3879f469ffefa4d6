#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "front/ShortSwitches.h"
#include "settings/Option.h"

namespace {

TShortSwitches ReadArgs(const std::vector<std::string>& args, std::string* error = nullptr) {
  return TShortSwitches::Read(hovrak::arg_parser(args, TShortSwitches::ValueOptions, '-'), error);
}

}  // namespace

TEST(ShortSwitchesTest, TargetsTextsAndFlags) {
  const TShortSwitches s = ReadArgs({"-s", "東京", "-f*.txt *.md", "-rl", "/w/a b", "-n", "/w/c"});
  EXPECT_EQ(s.Targets, (TStringVector{"/w/a b", "/w/c"}));
  EXPECT_EQ(s.SearchText, std::string("東京"));
  EXPECT_EQ(s.Filters, std::string("*.txt *.md"));
  EXPECT_EQ(s.SubDir, true);
  EXPECT_EQ(s.ByLine, true);
  EXPECT_TRUE(s.StartSearch);
  EXPECT_FALSE(s.Mode);
  EXPECT_FALSE(s.CaseSensitive);
  EXPECT_FALSE(s.CharCode);

  const TShortSwitches none = ReadArgs({});
  EXPECT_TRUE(none.Targets.empty());
  EXPECT_FALSE(none.SearchText);
  EXPECT_FALSE(none.SubDir);
  EXPECT_FALSE(none.StartSearch);
}

TEST(ShortSwitchesTest, FirstValueCountsAndAnEmptyValueIsAValue) {
  const TShortSwitches s = ReadArgs({"-sone", "-stwo", "-mw", "-mr", "-s"});
  EXPECT_EQ(s.SearchText, std::string("one"));
  EXPECT_EQ(s.Mode, TSearchMode::Word);
  // "-s" last: an empty search box.
  EXPECT_EQ(ReadArgs({"-s"}).SearchText, std::string());
  // "-s", "-r", word: the word is the value of s, and r is set.
  const TShortSwitches pending = ReadArgs({"-s", "-r", "word"});
  EXPECT_EQ(pending.SearchText, std::string("word"));
  EXPECT_EQ(pending.SubDir, true);
  EXPECT_TRUE(pending.Targets.empty());
}

TEST(ShortSwitchesTest, UpperCaseWinsEachPair) {
  const TShortSwitches s = ReadArgs({"-lLiIeEcCbBrR"});
  EXPECT_EQ(s.ByLine, false);
  EXPECT_EQ(s.CaseSensitive, true);
  EXPECT_EQ(s.Escape, false);
  EXPECT_EQ(s.CheckCharCode, false);
  EXPECT_EQ(s.Backup, false);
  EXPECT_EQ(s.SubDir, false);
  const TShortSwitches lower = ReadArgs({"-i", "-e", "-c", "-b"});
  EXPECT_EQ(lower.CaseSensitive, false);
  EXPECT_EQ(lower.Escape, true);
  EXPECT_EQ(lower.CheckCharCode, true);
  EXPECT_EQ(lower.Backup, true);
  // Order on the line does not matter.
  EXPECT_EQ(ReadArgs({"-R", "-r"}).SubDir, false);
}

TEST(ShortSwitchesTest, ModeAndCharCodeValues) {
  EXPECT_EQ(ReadArgs({"-mn"}).Mode, TSearchMode::Normal);
  EXPECT_EQ(ReadArgs({"-m", "r"}).Mode, TSearchMode::Regex);
  const std::pair<const char*, TCharCode> codes[] = {
      {"a", TCharCode::Auto}, {"s", TCharCode::SJIS}, {"w", TCharCode::UTF16}, {"n", TCharCode::ASCII},
      {"e", TCharCode::EUC},  {"j", TCharCode::JIS},  {"u", TCharCode::UTF8},  {"un", TCharCode::UTF8N}};
  for (const auto& code : codes) EXPECT_EQ(ReadArgs({"-K", code.first}).CharCode, code.second) << code.first;
}

TEST(ShortSwitchesTest, UnknownValuesAreLeftUnsetAndDescribedOnce) {
  std::string error;
  const TShortSwitches s = ReadArgs({"-mx", "-Kq", "-sfine"}, &error);
  EXPECT_FALSE(s.Mode);
  EXPECT_FALSE(s.CharCode);
  EXPECT_EQ(s.SearchText, std::string("fine"));
  EXPECT_EQ(error, "switch '-m' takes n, w or r, not 'x'");
  error.clear();
  ReadArgs({"-KU"}, &error);
  EXPECT_EQ(error, "switch '-K' takes a, s, w, n, e, j, u or un, not 'U'");
  // Without somewhere to describe it, an unknown value is just ignored.
  EXPECT_FALSE(ReadArgs({"-mx"}).Mode);
}

TEST(ShortSwitchesTest, ApplyToSetsOnlyWhatWasGiven) {
  TOption option;
  option.Editor = "ed %p";
  ReadArgs({"-mr", "-r", "-I", "-B", "-Kun"}).ApplyTo(option);
  EXPECT_EQ(option.Mode, TSearchMode::Regex);
  EXPECT_TRUE(option.SubDir);
  EXPECT_TRUE(option.CaseSensitive);
  EXPECT_FALSE(option.Backup);
  EXPECT_EQ(option.CharCode, TCharCode::UTF8N);
  EXPECT_FALSE(option.ByLine);
  EXPECT_FALSE(option.Escape);
  EXPECT_TRUE(option.CheckCharCode);
  EXPECT_EQ(option.Editor, "ed %p");

  ReadArgs({"-R", "-l", "-e", "-C", "-i"}).ApplyTo(option);
  EXPECT_FALSE(option.SubDir);
  EXPECT_EQ(option.Mode, TSearchMode::Regex);
  EXPECT_TRUE(option.ByLine);
  EXPECT_TRUE(option.Escape);
  EXPECT_FALSE(option.CheckCharCode);
  EXPECT_FALSE(option.CaseSensitive);
  EXPECT_FALSE(option.Backup);
}
