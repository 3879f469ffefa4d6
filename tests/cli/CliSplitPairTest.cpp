// mirun-cli output when the 100-unit context of a hit cuts a character outside the
// BMP: grep lines and CSV stay valid UTF-8 and show no broken half.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "cli/CliRun.h"

namespace {

TEST(CliSplitPair, ContextCutThroughAPairOnEitherSide) {
  TTempDir dir;
  // U+20BB7 takes two units: 100 units before the hit start in its second half, 100
  // after it end in the first half of the next one.
  const std::string a(99, 'a'), b(99, 'b');
  const std::string file = dir / "a.txt";
  WriteWholeFile(file, "𠮷" + a + "HIT" + b + "𠮷\n");
  // Plain (the byte path), case-ignored (the decoding path), and by line.
  for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"-i"}, {"-l"}}) {
    std::vector<std::string> args = mode;
    args.insert(args.end(), {"-K", "un", "-s", "HIT", file});
    const TCliResult grep = RunCli(args);
    EXPECT_EQ(grep.Status, 0) << grep.Err;
    EXPECT_EQ(grep.Out, file + ":1:102:" + a + "HIT" + b + "\n");
    args.insert(args.begin(), "--csv=hit,around:100");
    const TCliResult csv = RunCli(args);
    EXPECT_TRUE(TCliRun::IsValidUtf8(csv.Out)) << csv.Out;
    EXPECT_EQ(csv.Out, "直前の文字列,ヒットした文字列,直後の文字列,\r\n" + a + ",HIT," + b + ",\r\n");
  }
}

}  // namespace
