#include <gtest/gtest.h>

#include <string>

#include "settings/KELNode.h"
#include "settings/Option.h"

using hovrak::TKELNode;

namespace {

TOption ReadOption(const std::string& block) {
  TKELNode node;
  node.LoadFromBytes(block);
  TOption option;
  option.Read(node);
  return option;
}

void ExpectDefaults(const TOption& o) {
  EXPECT_EQ(o.CharCode, TCharCode::Auto);
  EXPECT_EQ(o.Mode, TSearchMode::Normal);
  EXPECT_FALSE(o.SubDir);
  EXPECT_TRUE(o.CaseSensitive);
  EXPECT_FALSE(o.Escape);
  EXPECT_FALSE(o.ByLine);
  EXPECT_TRUE(o.ShowLine);
  EXPECT_TRUE(o.CheckCharCode);
  EXPECT_TRUE(o.CheckTime);
  EXPECT_EQ(o.MaxFileSize, 52428800);
  EXPECT_EQ(o.Editor, "");
  EXPECT_FALSE(o.EditorDefault);
  EXPECT_TRUE(o.Backup);
  EXPECT_EQ(o.Threads, 0);
}

}  // namespace

TEST(OptionTest, DefaultsAndTheirBlock) {
  const TOption option;
  ExpectDefaults(option);
  TKELNode top;
  top.WriteChild("Option", option);
  EXPECT_EQ(top.SaveToBytes(),
            "Option{\r\n"
            "  CharCode=Auto\r\n"
            "  Mode=Normal\r\n"
            "  SubDir=0\r\n"
            "  CaseSensitive=1\r\n"
            "  Escape=0\r\n"
            "  ByLine=0\r\n"
            "  ShowLine=1\r\n"
            "  CheckCharCode=1\r\n"
            "  CheckTime=1\r\n"
            "  MaxFileSize=52428800\r\n"
            "  Editor=\r\n"
            "  EditorDefault=0\r\n"
            "  Backup=1\r\n"
            "  Threads=0\r\n"
            "}\r\n");
  ExpectDefaults(ReadOption(""));
}

TEST(OptionTest, EveryFieldSurvivesAWriteAndRead) {
  TOption changed;
  changed.CharCode = TCharCode::UTF8N;
  changed.Mode = TSearchMode::Word;
  changed.SubDir = true;
  changed.CaseSensitive = false;
  changed.Escape = true;
  changed.ByLine = true;
  changed.ShowLine = false;
  changed.CheckCharCode = false;
  changed.CheckTime = false;
  changed.MaxFileSize = 1048576;
  changed.Editor = " \"/opt/my editor/ed\" \"%p\" -Y=%l -X=%c ";
  changed.EditorDefault = true;
  changed.Backup = false;
  changed.Threads = 3;
  TKELNode node;
  changed.Write(node);
  const std::string bytes = node.SaveToBytes();

  TKELNode reread;
  reread.LoadFromBytes(bytes);
  TOption back;
  back.Read(reread);
  TKELNode again;
  back.Write(again);
  EXPECT_EQ(again.SaveToBytes(), bytes);
  EXPECT_EQ(back.Editor, changed.Editor);
  EXPECT_EQ(back.MaxFileSize, 1048576);
  EXPECT_EQ(back.CharCode, TCharCode::UTF8N);
  EXPECT_EQ(back.Threads, 3);
}

TEST(OptionTest, UnreadableValuesKeepTheField) {
  EXPECT_EQ(ReadOption("Mode=regex\n").Mode, TSearchMode::Normal);
  EXPECT_EQ(ReadOption("Mode=Regex\n").Mode, TSearchMode::Regex);
  EXPECT_TRUE(ReadOption("CaseSensitive=yes\n").CaseSensitive);
  EXPECT_FALSE(ReadOption("CaseSensitive=0\n").CaseSensitive);
  EXPECT_EQ(ReadOption("CharCode=sjis\n").CharCode, TCharCode::Auto);
  EXPECT_EQ(ReadOption("MaxFileSize=lots\n").MaxFileSize, 52428800);
  EXPECT_EQ(ReadOption("MaxFileSize=4294967296\n").MaxFileSize, 52428800);
  // A negative limit would leave out every file: it is not taken, not even over a
  // value set before.
  EXPECT_EQ(ReadOption("MaxFileSize=-1\n").MaxFileSize, 52428800);
  EXPECT_EQ(ReadOption("Threads=-1\n").Threads, 0);
  EXPECT_EQ(ReadOption("Threads=257\n").Threads, 0);
  EXPECT_EQ(ReadOption("Backup=0\nThreads=16\n").Threads, 16);
  TKELNode node;
  node.LoadFromBytes("MaxFileSize=-2147483648\n");
  TOption set;
  set.MaxFileSize = 1048576;
  set.Read(node);
  EXPECT_EQ(set.MaxFileSize, 1048576);
  // The first of two keys counts; the later one is never read.
  const TOption twice = ReadOption("SubDir=1\nSubDir=0\nByLine=1\n");
  EXPECT_TRUE(twice.SubDir);
  EXPECT_TRUE(twice.ByLine);
}
