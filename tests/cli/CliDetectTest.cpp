// End-to-end character-code detection with the built mirun-cli: short UTF-8 files
// are searched and rewritten as UTF-8, short Shift-JIS files stay Shift-JIS.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"

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

}  // namespace
