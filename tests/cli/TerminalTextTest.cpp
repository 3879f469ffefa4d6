// Control characters of file names and texts reach a terminal only escaped, and
// what the run passes over is summed up on stderr.
#include "cli/TerminalText.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "cli/CsvFormat.h"
#include "cli/GrepFormat.h"
#include "cli/PlaceOutput.h"
#include "cli/ProgressLine.h"
#include "cli/SkipReport.h"
#include "place/Place.h"

namespace {

TEST(TerminalText, ControlsAndStrayBytesBecomeVisible) {
  EXPECT_EQ(EscapeForTerminal("a\x1b[2Jb"), "a^[[2Jb");
  EXPECT_EQ(EscapeForTerminal(std::string("\0\r\x7f", 3)), "^@^M^?");
  EXPECT_EQ(EscapeForTerminal("a\tb"), "a^Ib");
  EXPECT_EQ(EscapeForTerminal("a\tb", true), "a\tb");
  // C1 controls in UTF-8 (CSI, NEL); U+00A0 and everything above stays.
  EXPECT_EQ(EscapeForTerminal("\xC2\x9B"
                              "1m\xC2\x85\xC2\xA0"),
            "\\u009B1m\\u0085\xC2\xA0");
  EXPECT_EQ(EscapeForTerminal("日本語テキスト、𠮷野家"), "日本語テキスト、𠮷野家");
  // Not UTF-8: a stray byte, a cut sequence, a lead byte before ESC, an overlong form,
  // a surrogate, and Shift-JIS bytes.
  EXPECT_EQ(EscapeForTerminal("\xFF"), "\\xFF");
  EXPECT_EQ(EscapeForTerminal("x\xE3\x81"), "x\\xE3\\x81");
  EXPECT_EQ(EscapeForTerminal("\xE3\x1b[31m"), "\\xE3^[[31m");
  EXPECT_EQ(EscapeForTerminal("\xC0\x80"), "\\xC0\\x80");
  EXPECT_EQ(EscapeForTerminal("\xED\xA0\x80"), "\\xED\\xA0\\x80");
  EXPECT_EQ(EscapeForTerminal("\x93\xfa\x96\x7b"), "\\x93\\xFA\\x96{");
  EXPECT_EQ(EscapeForTerminal(""), "");
}

TEST(TerminalText, GrepLinesAreEscapedOnlyForATerminalAndCsvNever) {
  const std::wstring text = L"前\x1b]0;title\x07 hit\tend\r\n";
  const TPlace<wchar_t> place("dir/\x1b[2J.txt", 0, text, 12, 3, {}, {});
  const auto grepLine = [&place](bool forTerminal) {
    std::string line;
    TGrepFormat::Append(place, forTerminal, TColors::Off(), line);
    return line;
  };
  EXPECT_EQ(grepLine(false), "dir/\x1b[2J.txt:1:13:前\x1b]0;title\x07 hit\tend\r\n");
  EXPECT_EQ(grepLine(true), "dir/^[[2J.txt:1:13:前^[]0;title^G hit\tend^M\n");

  for (const bool terminal : {false, true}) {
    for (const bool csv : {false, true}) {
      char* data = nullptr;
      std::size_t size = 0;
      std::FILE* stream = open_memstream(&data, &size);
      ASSERT_NE(stream, nullptr);
      {
        std::unique_ptr<TPlaceFormat> format;
        if (csv) format = std::make_unique<TCsvFormat>(TCsvWriter());
        else format = std::make_unique<TGrepFormat>(terminal, TColors::Off());
        TPlaceOutput output(stream, std::move(format));
        ASSERT_TRUE(output.Write(place));
        ASSERT_TRUE(output.Flush());
      }
      std::fclose(stream);
      const std::string written(data, size);
      std::free(data);
      const bool escaped = terminal && !csv;
      EXPECT_EQ(written.find('\x1b') == std::string::npos, escaped) << terminal << csv << written;
      if (csv) {
        EXPECT_EQ(written, "dir/\x1b[2J.txt,1,\r\n");
      }
    }
  }
}

TEST(TerminalText, TheProgressLineLetsNoControlThroughAMalformedSequence) {
  const std::string line = TProgressLine::Text(TProcessType::Searching,
                                               "\xE3\x1b[2J\xC2\x9B"
                                               "a",
                                               0, 1, 80);
  EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
  EXPECT_EQ(line.find("\xC2\x9B"), std::string::npos) << line;
  EXPECT_EQ(line, "検索中... 1/1 ??[2J?a");
}

TEST(SkipReport, CountsPerReasonAndNamesTheFirstFew) {
  TSkipReport report;
  EXPECT_TRUE(report.Empty());
  EXPECT_EQ(report.Text(1048576, false), "");
  for (int i = 1; i <= 7; ++i) report.Add("big" + std::to_string(i), TSkipReason::TooLarge);
  report.Add("deep\x1b", TSkipReason::PathTooLong);
  report.Add("locked", TSkipReason::FolderUnreadable);
  EXPECT_FALSE(report.Empty());
  EXPECT_EQ(report.Text(2 * 1048576, false),
            "mirun-cli: 7 files larger than the limit of 2 MB were skipped: big1, big2, big3, big4, big5 and 2 more\n"
            "mirun-cli: 1 folder could not be read: locked\n"
            "mirun-cli: 1 path too long to open was skipped: deep\x1b\n");
  TSkipReport one;
  one.Add("a\x1b.bin", TSkipReason::TooLarge);
  EXPECT_EQ(one.Text(1000, true), "mirun-cli: 1 file larger than the limit of 1000 bytes was skipped: a^[.bin\n");
}

TEST(CliTerminal, AnEscapeInAFileReachesAPipeAsItIsAndATerminalEscaped) {
  TTempDir dir;
  const std::string file = dir / "red\x1b[31m.txt";
  WriteWholeFile(file, "title \x1b]0;owned\x07 with the word\tand tab\n");
  const std::string raw = file + ":1:27:title \x1b]0;owned\x07 with the word\tand tab\n";
  const std::string shown = dir / "red^[[31m.txt:1:27:title ^[]0;owned^G with the word\tand tab\n";
  EXPECT_EQ(RunCli({"-s", "word", file}).Out, raw);

  TCliOptions terminal;
  terminal.OutOnTerminal = true;
  const TCliResult r = RunCli({"--color", "never", "-s", "word", file}, terminal);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, shown);
  // CSV stays byte-exact even on a terminal.
  const TCliResult csv = RunCli({"--csv=hit,around", "-s", "word", file}, terminal);
  EXPECT_NE(csv.Out.find("\x1b]0;owned\x07"), std::string::npos) << csv.Out;

  // A path in a message on a terminal's stderr.
  TCliOptions errTerminal;
  errTerminal.ErrOnTerminal = true;
  const TCliResult missing = RunCli({"-s", "word", dir / "gone\x1b[2J.txt"}, errTerminal);
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err.find("\x1b[2J"), std::string::npos) << missing.Err;
  EXPECT_NE(missing.Err.find("  " + dir / "gone^[[2J.txt"), std::string::npos) << missing.Err;
}

TEST(CliTerminal, FilesOverTheSizeLimitAreSummedUpAfterTheSearch) {
  TTempDir dir;
  const std::string big(1048576 + 1, 'x');
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteWholeFile(dir / name, big + "word\n");
  WriteWholeFile(dir / "small.txt", "word\n");
  const TCliResult r = RunCli({"--max-size", "1", "-s", "word", dir.Path()});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir / "small.txt:1:1:word\n");
  EXPECT_EQ(r.Err, "mirun-cli: 3 files larger than the limit of 1 MB were skipped: " + dir / "a.txt, " +
                       dir / "b.txt, " + dir / "c.txt\n");
  // Nothing found because everything was too large: still said, and still status 1.
  const TCliResult none = RunCli({"--max-size", "1", "-s", "word", dir / "a.txt"});
  EXPECT_EQ(none.Status, 1);
  EXPECT_EQ(none.Err, "mirun-cli: 1 file larger than the limit of 1 MB was skipped: " + dir / "a.txt\n");
}

}  // namespace
