#include "cli/CliCommandLine.h"

#include <gtest/gtest.h>

#include "settings/Option.h"

namespace {

TEST(CliCommandLine, LongOptionsTakeValuesWithEqualsOrAsTheNextArgument) {
  const TCliCommandLine c({"--replace=a=b", "--on-error", "force", "--settings", "-x.kel", "--max-size=7",
                           "--no-line-numbers", "--quiet", "t1"});
  ASSERT_EQ(c.Error(), "");
  EXPECT_EQ(*c.Replacement, "a=b");
  EXPECT_EQ(c.OnError, TCliCommandLine::TOnError::Force);
  EXPECT_EQ(*c.SettingsPath, "-x.kel");
  EXPECT_EQ(*c.MaxFileSize, 7 * 1048576);
  EXPECT_FALSE(*c.ShowLine);
  EXPECT_TRUE(c.Quiet);
  EXPECT_EQ(c.Targets, TStringVector{"t1"});
  EXPECT_FALSE(c.Csv);
}

TEST(CliCommandLine, CsvTakesColumnsOnlyAfterEquals) {
  const TCliCommandLine plain({"--csv", "file"});
  ASSERT_EQ(plain.Error(), "");
  EXPECT_TRUE(plain.Csv && plain.CsvFile && plain.CsvLine && !plain.CsvHit && !plain.CsvAround);
  EXPECT_EQ(plain.Targets, TStringVector{"file"});

  const TCliCommandLine chosen({"--csv=around:0,hit"});
  ASSERT_EQ(chosen.Error(), "");
  EXPECT_TRUE(!chosen.CsvFile && !chosen.CsvLine && chosen.CsvHit && chosen.CsvAround);
  EXPECT_EQ(chosen.CsvAroundLength, 0);
  EXPECT_EQ(TCliCommandLine({"--csv=around:9"}).CsvAroundLength, 9);
  EXPECT_EQ(TCliCommandLine({"--csv=hit,around:123"}).CsvAroundLength, 123);
  EXPECT_EQ(TCliCommandLine({"--csv=around"}).CsvAroundLength, 30);
  EXPECT_NE(TCliCommandLine({"--csv=file,"}).Error(), "");
  EXPECT_NE(TCliCommandLine({"--csv=around:-1"}).Error(), "");
}

TEST(CliCommandLine, DoubleDashMakesEverythingAfterItATarget) {
  const TCliCommandLine c({"-s", "x", "a", "--", "--quiet", "-r", "--"});
  ASSERT_EQ(c.Error(), "");
  EXPECT_EQ(c.Targets, (TStringVector{"a", "--quiet", "-r", "--"}));
  EXPECT_FALSE(c.Quiet);
  EXPECT_FALSE(c.SubDir);
}

TEST(CliCommandLine, ShortSwitchesSetOnlyTheOptionsGiven) {
  const TCliCommandLine c({"-rRlI", "-sword", "-mw", "-K", "un", "-iec", "-b", "-B", "-f", "*.txt *.htm", "dir"});
  ASSERT_EQ(c.Error(), "");
  TOption option;
  option.SubDir = true;
  option.Escape = false;
  c.ApplyTo(option);
  EXPECT_FALSE(option.SubDir);  // R wins over r
  EXPECT_TRUE(option.ByLine);
  EXPECT_TRUE(option.CaseSensitive);  // I wins over i
  EXPECT_TRUE(option.Escape);
  EXPECT_TRUE(option.CheckCharCode);
  EXPECT_FALSE(option.Backup);
  EXPECT_EQ(option.Mode, TSearchMode::Word);
  EXPECT_EQ(option.CharCode, TCharCode::UTF8N);
  EXPECT_EQ(*c.SearchText, "word");
  EXPECT_EQ(*c.Filters, "*.txt *.htm");
  EXPECT_EQ(c.Targets, TStringVector{"dir"});

  // Nothing given: the settings stay.
  TOption untouched;
  untouched.ShowLine = false;
  untouched.MaxFileSize = 5;
  TCliCommandLine({"t"}).ApplyTo(untouched);
  EXPECT_FALSE(untouched.ShowLine);
  EXPECT_EQ(untouched.MaxFileSize, 5);
  // The value of a switch's first occurrence counts; a pending value crosses a flag.
  EXPECT_EQ(*TCliCommandLine({"-s", "-r", "first", "-ssecond"}).SearchText, "first");
}

TEST(CliCommandLine, BadInputIsAnErrorWithWords) {
  const std::vector<std::vector<std::string>> bad = {
      {"--nope"},
      {"--help=1"},
      {"--replace"},
      {"--on-error=never"},
      {"--max-size", "2048"},
      {"--max-size", "1e3"},
      {"--settings="},
      {"-m"},
      {"-mq"},
      {"-K", "x"},
      {"-q"},
      {"-"},
      {"-s", "-r"},
      {"-rf"},
  };
  for (const auto& args : bad) EXPECT_NE(TCliCommandLine(args).Error(), "") << args.front();
  EXPECT_EQ(TCliCommandLine({"--max-size", "2047", "-n", "t"}).Error(), "");
}

TEST(CliCommandLine, UnknownSwitchValuesAreRefusedNamingTheValue) {
  // Both wrong: the mode is named first, as the switches are read in that order.
  EXPECT_EQ(TCliCommandLine({"-Kz", "-mq", "t"}).Error(), "switch '-m' takes n, w or r, not 'q'");
  EXPECT_EQ(TCliCommandLine({"-K", "U", "t"}).Error(), "switch '-K' takes a, s, w, n, e, j, u or un, not 'U'");
  EXPECT_EQ(TCliCommandLine({"-x", "-mq"}).Error(), "unknown switch '-x'");
  // A value given as the next argument: not a target as well.
  const TCliCommandLine c({"-m", "r", "-K", "s", "t"});
  ASSERT_EQ(c.Error(), "");
  EXPECT_EQ(c.Mode, TSearchMode::Regex);
  EXPECT_EQ(c.CharCode, TCharCode::SJIS);
  EXPECT_EQ(c.Targets, TStringVector{"t"});
}

}  // namespace

TEST(CliCommandLine, OldUnitOptionsBelongToARestoreAndTakeAnAbsoluteBase) {
  const TCliCommandLine restore({"--restore", "u_1", "--restore-old-unit", "--base", "/"});
  EXPECT_EQ(restore.Error(), "");
  EXPECT_TRUE(restore.RestoreOldUnit);
  EXPECT_EQ(restore.AllowedBase.value_or(""), "/");
  EXPECT_NE(TCliCommandLine({"--restore-old-unit", "-s", "a", "f"}).Error(), "");
  EXPECT_NE(TCliCommandLine({"--list-backups", "--base", "/x"}).Error(), "");
  EXPECT_NE(TCliCommandLine({"--restore", "u_1", "--base", "relative"}).Error(), "");
}
