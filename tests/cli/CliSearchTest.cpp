// End-to-end searches with the built mirun-cli on temporary trees: every character
// code, grep lines and CSV, exit statuses, and the checks of bad input.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "platform/AnsiCodePage.h"
#include "text/File.h"

namespace {

std::string Encode(const std::string& utf8, TCharCode code) {
  std::string bytes;
  TFile<wchar_t>::Encode(hovrak::AnsiToWide(utf8), code, bytes);
  return bytes;
}

const std::string kJapanese =
    "吾輩は猫である。名前はまだ無い。\n"
    "どこで生れたかとんと見当がつかぬ。\n"
    "何でも薄暗いじめじめした所で検索語と泣いていた事だけは記憶している。\n"
    "吾輩はここで始めて人間というものを見た。\n";

TEST(CliSearch, FindsTheSameLineInEveryCharacterCode) {
  TTempDir dir;
  const struct {
    const char* Name;
    TCharCode Code;
  } files[] = {{"euc.txt", TCharCode::EUC},   {"jis.txt", TCharCode::JIS},  {"sjis.txt", TCharCode::SJIS},
               {"u16.txt", TCharCode::UTF16}, {"u8.txt", TCharCode::UTF8N}, {"u8bom.txt", TCharCode::UTF8}};
  for (const auto& f : files) WriteWholeFile(dir / f.Name, Encode(kJapanese, f.Code));
  WriteWholeFile(dir / "other.dat", Encode(kJapanese, TCharCode::UTF8N));

  const TCliResult r = RunCli({"-K", "a", "-s", "検索語", "-f", "*.txt", dir.Path()});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  std::string expected;
  for (const auto& f : files)
    expected += dir / f.Name + ":3:15:何でも薄暗いじめじめした所で検索語と泣いていた事だけは記憶している。\n";
  EXPECT_EQ(r.Out, expected);
}

TEST(CliSearch, AsciiModeCountsBytesAndPrintsTheFilesOwnBytes) {
  TTempDir dir;
  const std::string sjis = Encode("日本語 key です\n", TCharCode::SJIS);
  WriteWholeFile(dir / "a.txt", "first\n" + sjis);
  const TCliResult r = RunCli({"-Kn", "-skey", dir / "a.txt"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir / "a.txt" + ":2:8:" + sjis);
}

TEST(CliSearch, HitAcrossLinesShowsArrowAndCsvFollowsTheQuotingRules) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "x,\"y\" ab\ncd tail\nnext\n");
  const TCliResult grep = RunCli({"-e", "-s", "ab\\ncd", dir / "a.txt"});
  EXPECT_EQ(grep.Status, 0) << grep.Err;
  EXPECT_EQ(grep.Out, dir / "a.txt" + ":1:7:x,\"y\" ab↓ cd tail\n");

  const TCliResult csv = RunCli({"-e", "-s", "ab\\ncd", "--csv=line,hit,around:4,file", dir / "a.txt"});
  EXPECT_EQ(csv.Status, 0) << csv.Err;
  EXPECT_EQ(csv.Out, "ファイル名,行番号,直前の文字列,ヒットした文字列,直後の文字列,\r\n" + dir / "a.txt" +
                         ",1,\"\"\"y\"\" \",ab↓ cd, tai,\r\n");

  const TCliResult plain = RunCli({"--csv", "-s", "next", dir / "a.txt"});
  EXPECT_EQ(plain.Out, "ファイル名,行番号,\r\n" + dir / "a.txt" + ",3,\r\n");
}

TEST(CliSearch, CsvContextCountsUtf16UnitsInWideMode) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", Encode("前置きの文章、検索語の後ろ\n", TCharCode::UTF8N));
  const TCliResult r = RunCli({"--csv=hit,around:3", "-K", "un", "-s", "検索語", dir / "a.txt"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "直前の文字列,ヒットした文字列,直後の文字列,\r\n文章、,検索語,の後ろ,\r\n");
}

TEST(CliSearch, ExitStatusesOfCompletedAndFailedSearches) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "alpha\n");
  EXPECT_EQ(RunCli({"-s", "beta", dir / "a.txt"}).Status, 1);

  const TCliResult bad = RunCli({"-m", "r", "-s", "(", dir / "a.txt"});
  EXPECT_EQ(bad.Status, 2);
  EXPECT_EQ(bad.Err, "検索文字列が間違っています。\n");

  // No target files wins over a bad search string.
  const TCliResult none = RunCli({"-m", "r", "-s", "(", "-f", "*.none", dir.Path()});
  EXPECT_EQ(none.Status, 2);
  EXPECT_EQ(none.Err, "対象ファイルがありません。\n");

  const TCliResult noTarget = RunCli({"-s", "alpha"});
  EXPECT_EQ(noTarget.Status, 2);
  EXPECT_EQ(noTarget.Err, "対象ファイル/フォルダが指定されていません。\n");

  const TCliResult folderAndFile = RunCli({"-s", "alpha", dir.Path(), dir / "a.txt"});
  EXPECT_EQ(folderAndFile.Status, 2);
  EXPECT_EQ(folderAndFile.Err, "対象にフォルダを指定する時は、フォルダを1つだけ指定してください。\n");
}

TEST(CliSearch, SubfoldersAndFiltersFollowTheSwitches) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "hit\n");
  WriteWholeFile(dir / "b.log", "hit\n");
  WriteWholeFile(dir / "sub/c.txt", "HIT\n");
  EXPECT_EQ(RunCli({"-s", "hit", dir.Path()}).Out, dir / "a.txt:1:1:hit\n" + dir / "b.log:1:1:hit\n");
  EXPECT_EQ(RunCli({"-ri", "-f", "*.txt", "-s", "hit", dir.Path()}).Out,
            dir / "a.txt:1:1:hit\n" + dir / "sub/c.txt:1:1:HIT\n");
  // The upper-case letter of a pair wins.
  EXPECT_EQ(RunCli({"-rRiI", "-f", "*.txt", "-s", "hit", dir.Path()}).Out, dir / "a.txt:1:1:hit\n");
}

TEST(CliSearch, PathsWithSpacesAndForeignBytesAreSearchedAsGiven) {
  TTempDir dir;
  const std::string spaced = dir / "my notes.txt";
  const std::string foreign = dir / "\x93\xfa\x96\x7b.txt";  // a Shift-JIS file name
  WriteWholeFile(spaced, "word\n");
  WriteWholeFile(foreign, "word\n");
  const TCliResult r = RunCli({"-s", "word", spaced, foreign});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, spaced + ":1:1:word\n" + foreign + ":1:1:word\n");

  const TCliResult missing = RunCli({"-s", "word", dir / "no such \xff.txt"});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err, "以下のファイルを開けません。\n  " + dir / "no such \xff.txt (No such file or directory)\n");
}

TEST(CliSearch, BadUsageIsReportedAndChangesNothing) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "alpha\n");
  const std::vector<std::vector<std::string>> cases = {
      {"--frobnicate"},
      {"--replace", "\xff"},
      {"--quiet=yes"},
      {"--on-error", "maybe"},
      {"--csv=file,size"},
      {"--csv=around:x"},
      {"--max-size", "-1"},
      {"--max-size", "4096"},
      {"--threads", "-2"},
      {"--threads", "many"},
      {"--threads", "257"},
      {"-m", "x"},
      {"-K", "z"},
      {"-x"},
      {"--settings", dir / "missing.kel"},
      {"--settings", dir.Path()},
      {"-s"},
      {"--replace"},
  };
  for (const auto& extra : cases) {
    std::vector<std::string> args = {"-s", "alpha", "--replace", "beta"};
    args.insert(args.end(), extra.begin(), extra.end());
    // A value option last must find no value, so the target goes first there.
    if (extra.back() == "-s" || extra.back() == "--replace") args.insert(args.begin(), dir / "a.txt");
    else args.push_back(dir / "a.txt");
    const TCliResult r = RunCli(args);
    EXPECT_EQ(r.Status, 2) << extra.front();
    EXPECT_NE(r.Err.find("mirun-cli: "), std::string::npos) << extra.front() << ": " << r.Err;
    EXPECT_EQ(r.Out, "") << extra.front();
  }
  const TCliResult notUtf8 = RunCli({"-s\xff", dir / "a.txt"});
  EXPECT_EQ(notUtf8.Status, 2);
  EXPECT_NE(notUtf8.Err.find("not valid UTF-8"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "alpha\n");
}

TEST(CliSearch, DoubleDashEndsOptionsAndHelpAndVersionPrint) {
  TTempDir dir;
  WriteWholeFile(dir / "-f.txt", "alpha\n");
  TCliOptions options;
  options.WorkDir = dir.Path();
  const TCliResult r = RunCli({"-s", "alpha", "--", "-f.txt"}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "-f.txt:1:1:alpha\n");
  const TCliResult help = RunCli({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("usage: mirun-cli", 0), 0u);
  EXPECT_EQ(RunCli({"--version"}).Out.rfind("mirun-cli ", 0), 0u);
}

TEST(CliSearch, ClosedOutputEndsQuietly) {
  TTempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line with the word in it\n";
  WriteWholeFile(dir / "a.txt", text);
  TCliOptions options;
  options.CloseOutAfter = 1;
  const TCliResult r = RunCli({"-s", "word", dir / "a.txt"}, options);
  EXPECT_EQ(r.Status, 141);
  EXPECT_EQ(r.Err, "");
}

TEST(CliSearch, AFullDiskIsAnError) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "word\n");
  TCliOptions options;
  options.OutFile = "/dev/full";
  const TCliResult r = RunCli({"-s", "word", dir / "a.txt"}, options);
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("cannot write the output"), std::string::npos) << r.Err;
}

TEST(CliSearch, CtrlCStopsAndKeepsWhatWasPrinted) {
  TTempDir dir;
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "line with the word in it\n";
  WriteWholeFile(dir / "a.txt", text);
  WriteWholeFile(dir / "b.txt", text);
  TCliOptions options;
  options.InterruptAfterOut = 1;
  options.SmallPipes = true;
  const TCliResult r = RunCli({"-s", "word", dir / "a.txt", dir / "b.txt"}, options);
  EXPECT_EQ(r.Status, 130) << r.Err;
  EXPECT_EQ(r.Err, "検索を中止しました。\n");
  ASSERT_FALSE(r.Out.empty());
  EXPECT_EQ(r.Out.back(), '\n');
  EXPECT_EQ(r.Out.find(dir / "b.txt"), std::string::npos);
  EXPECT_EQ(r.Out.rfind(dir / "a.txt:1:15:line with the word in it\n", 0), 0u);
}

TEST(CliSearch, ProgressOnlyOnATerminal) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "alpha\n");
  const TCliResult piped = RunCli({"-s", "alpha", dir / "a.txt"});
  EXPECT_EQ(piped.Err, "");
  TCliOptions options;
  options.ErrOnTerminal = true;
  const TCliResult terminal = RunCli({"-s", "alpha", dir / "a.txt"}, options);
  EXPECT_EQ(terminal.Status, 0);
  EXPECT_NE(terminal.Err.find("検索中... 1/1"), std::string::npos) << terminal.Err;
  const TCliResult quiet = RunCli({"--quiet", "-s", "alpha", dir / "a.txt"}, options);
  EXPECT_EQ(quiet.Err, "");
}

}  // namespace

// The output, the JSON facts of each file (its line ends read before the search makes
// them uniform), what --detect tells and the status are those of one thread whatever the number.
TEST(CliSearch, ThreadsChangeNothingInTheOutput) {
  TTempDir dir;
  for (int i = 0; i < 30; ++i) {
    const std::string end = i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
    WriteWholeFile(dir / ("f" + std::to_string(10 + i) + ".txt"),
                   "alpha " + std::to_string(i) + end + std::string(static_cast<std::size_t>(i) * 97, 'x') + end +
                       "beta alpha" + end);
  }
  for (const std::vector<std::string>& form :
       {std::vector<std::string>{"-s", "alpha"}, {"-s", "alpha", "--json"}, {"-s", "alpha", "--count"}, {"--detect"}}) {
    std::vector<std::string> args = {"-r", "-f", "*.txt"};
    args.insert(args.end(), form.begin(), form.end());
    args.push_back(dir.Path());
    std::vector<std::string> one = args, many = args;
    one.insert(one.begin(), {"--threads", "1"});
    many.insert(many.begin(), {"--threads", "4"});
    TCliResult serial = RunCli(one);
    TCliResult pooled = RunCli(many);
    // The JSON summary ends with the time the run took.
    for (TCliResult* r : {&serial, &pooled}) {
      const std::size_t summary = r->Out.find("{\"type\":\"summary\"");
      if (summary != std::string::npos) r->Out.resize(summary);
    }
    EXPECT_EQ(serial.Status, 0) << serial.Err;
    EXPECT_EQ(pooled.Status, serial.Status);
    EXPECT_EQ(pooled.Out, serial.Out);
    EXPECT_EQ(pooled.Err, serial.Err);
  }
}
