// End-to-end character-code detection with the built mirun-cli: short UTF-8 files
// are searched and rewritten as UTF-8, short Shift-JIS files stay Shift-JIS, and
// --detect names the code and line ends of files of every kind.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "cli/CodedText.h"

namespace {

const std::string kTokyoSjis = "\x93\x8C\x8B\x9E\x93\x73";  // 東京都
const std::string kJapanSjis = "\x93\xFA\x96\x7B";          // 日本

TEST(CliDetect, ShortUtf8FileIsRewrittenAsUtf8) {
  TTempDir home, dir;
  TCliOptions options;
  options.Home = home.Path();
  WriteWholeFile(dir / "f", "東京都 abc\n");
  const TCliResult r = RunCli({"-B", "-s", "abc", "--replace", "日本", dir / "f"}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir / "f" + ":1:5:東京都 abc\n");
  EXPECT_EQ(ReadWholeFile(dir / "f"), "東京都 日本\n");

  // The same text in Shift-JIS is still read and written as Shift-JIS.
  WriteWholeFile(dir / "s", kTokyoSjis + " abc\n");
  const TCliResult s = RunCli({"-B", "-s", "abc", "--replace", "日本", dir / "s"}, options);
  EXPECT_EQ(s.Status, 0) << s.Err;
  EXPECT_EQ(ReadWholeFile(dir / "s"), kTokyoSjis + " " + kJapanSjis + "\n");
}

TEST(CliDetect, ShortUtf8FileIsSearchedAsUtf8) {
  TTempDir home, dir;
  TCliOptions options;
  options.Home = home.Path();
  WriteWholeFile(dir / "u", "会議\n");
  WriteWholeFile(dir / "w", "会議");
  for (const char* name : {"u", "w"}) {
    const TCliResult r = RunCli({"-s", "会議", dir / name}, options);
    EXPECT_EQ(r.Status, 0) << name << r.Err;
    EXPECT_EQ(r.Out, dir / name + ":1:1:会議\n");
  }
  // Also through the decoding path (a search that ignores case).
  const TCliResult r = RunCli({"-i", "-s", "会議", dir / "u"}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir / "u" + ":1:1:会議\n");
}

TEST(CliDetect, DetectNamesTheCodeAndLineEndsOfEveryFile) {
  TTempDir dir;
  const std::string text = "吾輩は猫である。\n名前はまだ無い。\nどこで生れたかとんと見当がつかぬ。\n";
  const auto crlf = [](std::string t) {
    std::string out;
    for (const char c : t) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
  };
  std::string cr = text;
  for (char& c : cr) c = c == '\n' ? '\r' : c;
  WriteWholeFile(dir / "01-sjis.txt", Encode(text, TCharCode::SJIS));
  WriteWholeFile(dir / "02-euc.txt", Encode(crlf(text), TCharCode::EUC));
  WriteWholeFile(dir / "03-jis.txt", Encode(cr, TCharCode::JIS));
  WriteWholeFile(dir / "04-u16.txt", Encode(crlf(text), TCharCode::UTF16));
  WriteWholeFile(dir / "05-u8.txt", Encode("一行目\r\n二行目\n三行目\r", TCharCode::UTF8N));
  WriteWholeFile(dir / "06-u8bom.txt", Encode(text, TCharCode::UTF8));
  WriteWholeFile(dir / "07-short-sjis.txt", kJapanSjis);
  WriteWholeFile(dir / "08-short-u8.txt", "会議\r\n");
  WriteWholeFile(dir / "09-ascii.txt", "plain\n");
  WriteWholeFile(dir / "10-empty.txt", "");
  WriteWholeFile(dir / "11-u16-mixed.txt", Encode("a\nb\r\nc", TCharCode::UTF16));
  WriteWholeFile(dir / "skipped.md", "not a txt\n");
  WriteWholeFile(dir / "sub/12-deep.txt", Encode(text, TCharCode::EUC));

  const std::string d = dir.Path() + "/";
  const TCliResult r = RunCli({"--detect", "-r", "-f", "*.txt", dir.Path()});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, d + "01-sjis.txt\tShift-JIS\tLF\n" + d + "02-euc.txt\tEUC_JP\tCR LF\n" + d +
                       "03-jis.txt\tJIS\tCR\n" + d + "04-u16.txt\tUTF-16 (Unicode)\tCR LF\n" + d +
                       "05-u8.txt\tUTF-8\tmixed\n" + d + "06-u8bom.txt\tUTF-8 BOM\tLF\n" + d +
                       "07-short-sjis.txt\tShift-JIS\tnone\n" + d + "08-short-u8.txt\tUTF-8\tCR LF\n" + d +
                       "09-ascii.txt\tShift-JIS\tLF\n" + d + "10-empty.txt\tShift-JIS\tnone\n" + d +
                       "11-u16-mixed.txt\tUTF-16 (Unicode)\tmixed\n" + d + "sub/12-deep.txt\tEUC_JP\tLF\n");

  // The code chosen with -K is the code files are read in; the subfolder rule and
  // exclusions are those of a search.
  const TCliResult forced = RunCli({"--detect", "-K", "e", "-R", "-f", "*.txt !0*", dir.Path()});
  EXPECT_EQ(forced.Out, d + "10-empty.txt\tEUC_JP\tnone\n" + d + "11-u16-mixed.txt\tEUC_JP\tmixed\n");
  EXPECT_EQ(RunCli({"--detect", "-K", "n", dir / "01-sjis.txt"}).Out, d + "01-sjis.txt\tASCII\tLF\n");

  // An unreadable file is named and fails the run; the others are listed.
  const TCliResult missing = RunCli({"--detect", dir / "01-sjis.txt", dir / "gone.txt"});
  EXPECT_EQ(missing.Status, 2);
  EXPECT_EQ(missing.Out, d + "01-sjis.txt\tShift-JIS\tLF\n");
  EXPECT_NE(missing.Err.find(dir / "gone.txt"), std::string::npos) << missing.Err;
  EXPECT_EQ(RunCli({"--detect", "-s", "x", dir.Path()}).Status, 2);
}

}  // namespace
