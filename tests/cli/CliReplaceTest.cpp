// End-to-end replaces with the built mirun-cli: backups and the settings file,
// per-file failures by --on-error, and Ctrl-C in the middle of a run.
#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"

namespace {

std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  }
  return names;
}

const std::string kBefore =
    "PathHistory=/somewhere\r\n"
    "FilterHistory=*.txt\r\n"
    "Ver3First=0\r\n"
    "Option{\r\n"
    "  CharCode=Auto\r\n"
    "  Mode=Normal\r\n"
    "  Backup=1\r\n"
    "}\r\n";
const std::string kBackupBlock =
    "Backup{\r\n"
    "  Dir=\r\n"
    "  MaxSize=3145728\r\n"
    "  DeletableTime=00:00:00\r\n"
    "}\r\n";
const std::string kAfter =
    "Extra{\r\n"
    "  Kept=as it was\r\n"
    "}\r\n"
    "MainLeft=12\r\n";

TEST(CliReplace, BacksUpRewritesAndChangesOnlyTheBackupBlock) {
  TTempDir home, dir;
  WriteWholeFile(home / "Mirun.kel", kBefore + kBackupBlock + kAfter);
  WriteWholeFile(dir / "a.txt", "old text\nold again\n");
  WriteWholeFile(dir / "b.txt", "nothing\n");
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult r = RunCli({"-s", "old", "--replace", "new", dir.Path()}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir / "a.txt:1:1:old text\n" + dir / "a.txt:2:1:old again\n");
  EXPECT_EQ(r.Err, "置換が完了しました。（書き込み 1 ファイル、スキップ 0 ファイル）\n");
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new text\nnew again\n");
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "nothing\n");

  // The copy lies in one unit of the default backup folder.
  const std::vector<std::string> units = List(home / "Backup");
  ASSERT_EQ(units.size(), 1u);
  EXPECT_EQ(ReadWholeFile(home / "Backup/" + units[0] + "/a.txt"), "old text\nold again\n");

  const std::string settings = ReadWholeFile(home / "Mirun.kel");
  ASSERT_GT(settings.size(), kBefore.size() + kAfter.size());
  EXPECT_EQ(settings.substr(0, kBefore.size()), kBefore);
  EXPECT_EQ(settings.substr(settings.size() - kAfter.size()), kAfter);
  const std::string block = settings.substr(kBefore.size(), settings.size() - kBefore.size() - kAfter.size());
  EXPECT_NE(block.find("  Unit{\r\n"), std::string::npos) << block;
  EXPECT_NE(block.find("    Name=" + units[0] + "\r\n"), std::string::npos) << block;
  EXPECT_NE(block.find("    File=a.txt\r\n"), std::string::npos) << block;
}

TEST(CliReplace, UnitsPrunedToMakeRoomAreNamed) {
  TTempDir home, dir;
  // A limit of one byte: each new unit prunes every older one.
  std::string block = kBackupBlock;
  block.replace(block.find("MaxSize=3145728"), 15, "MaxSize=1");
  WriteWholeFile(home / "Mirun.kel", kBefore + block);
  WriteWholeFile(dir / "a.txt", "one\n");
  TCliOptions options;
  options.Home = home.Path();
  TCliResult r = RunCli({"-s", "one", "--replace", "two", dir / "a.txt"}, options);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err.find("古いバックアップ"), std::string::npos) << r.Err;
  const std::vector<std::string> first = List(home / "Backup");
  ASSERT_EQ(first.size(), 1u);

  r = RunCli({"-s", "two", "--replace", "three", dir / "a.txt"}, options);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("mirun-cli: 古いバックアップを削除しました: " + first[0] + "（"), std::string::npos) << r.Err;
  EXPECT_EQ(List(home / "Backup").size(), 1u);
}

TEST(CliReplace, WithoutBackupTheSettingsFileIsNotWritten) {
  TTempDir home, dir;
  const std::string settingsText = kBefore + kBackupBlock + kAfter;
  WriteWholeFile(home / "custom.kel", settingsText);
  struct stat before;
  ASSERT_EQ(::stat((home / "custom.kel").c_str(), &before), 0);
  WriteWholeFile(dir / "a.txt", "old\n");
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult r = RunCli(
      {"--quiet", "-B", "--settings", home / "custom.kel", "-s", "old", "--replace", "", dir / "a.txt"}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "\n");
  struct stat after;
  ASSERT_EQ(::stat((home / "custom.kel").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadWholeFile(home / "custom.kel"), settingsText);
  EXPECT_TRUE(List(home / "Backup").empty());
}

class CliReplaceErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteWholeFile(dir_ / "a.txt", "hit\n");
    WriteWholeFile(dir_ / "b.txt", "hit\n");
    ::chmod((dir_ / "b.txt").c_str(), 0444);
    WriteWholeFile(dir_ / "c.txt", "hit\n");
  }
  TCliResult Replace(const std::string& onError) {
    TCliOptions options;
    options.Home = home_.Path();
    return RunCli({"-B", "--on-error", onError, "-s", "hit", "--replace", "done", dir_.Path()}, options);
  }
  TTempDir home_, dir_;
};

TEST_F(CliReplaceErrors, SkipReportsTheFileAndGoesOn) {
  // A file that could not be written fails the run, with the system's reason.
  const TCliResult r = Replace("skip");
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_EQ(r.Err, "以下のファイルに書き込めません。\nファイルが読取専用になっているようです。\n  " + dir_ / "b.txt" +
                       " (Permission denied)\n" + "置換が完了しました。（書き込み 2 ファイル、スキップ 1 ファイル）\n" +
                       "mirun-cli: not rewritten: '" + dir_ / "b.txt" + "': Permission denied\n");
  EXPECT_EQ(ReadWholeFile(dir_ / "a.txt"), "done\n");
  EXPECT_EQ(ReadWholeFile(dir_ / "b.txt"), "hit\n");
  EXPECT_EQ(ReadWholeFile(dir_ / "c.txt"), "done\n");
}

TEST_F(CliReplaceErrors, ForceCannotForceAFailedWrite) {
  const TCliResult r = Replace("force");
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir_ / "b.txt"), "hit\n");
  EXPECT_EQ(ReadWholeFile(dir_ / "c.txt"), "done\n");
}

TEST_F(CliReplaceErrors, AbortEndsTheRunExceptOnAFailedWrite) {
  // A failed write never ends a replace run, abort included.
  const TCliResult replace = Replace("abort");
  EXPECT_EQ(replace.Status, 2) << replace.Err;
  EXPECT_EQ(ReadWholeFile(dir_ / "c.txt"), "done\n");

  // A file that cannot be opened during the search stops it before any replace.
  WriteWholeFile(dir_ / "a.txt", "hit\n");
  TCliOptions options;
  options.Home = home_.Path();
  const TCliResult search = RunCli({"-B", "--on-error", "abort", "-s", "hit", "--replace", "done", dir_ / "a.txt",
                                    dir_ / "missing.txt", dir_ / "c.txt"},
                                   options);
  EXPECT_EQ(search.Status, 2) << search.Err;
  EXPECT_EQ(search.Err, "以下のファイルを開けません。\n  " +
                            dir_ / "missing.txt (No such file or directory)\n検索を中止しました。\n");
  EXPECT_EQ(ReadWholeFile(dir_ / "a.txt"), "hit\n");
}

TEST(CliReplace, CharacterCodeCheckSkipsOrForcesABinaryFile) {
  TTempDir home, dir;
  const std::string binary = std::string("hit\0x\n", 6);
  WriteWholeFile(dir / "bin.txt", binary);
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult skipped = RunCli({"-B", "-K", "un", "-s", "hit", "--replace", "done", dir / "bin.txt"}, options);
  EXPECT_EQ(skipped.Status, 0) << skipped.Err;
  EXPECT_EQ(skipped.Err.rfind("以下のファイルはバイナリファイルのようです。", 0), 0u) << skipped.Err;
  EXPECT_NE(skipped.Err.find("（書き込み 0 ファイル、スキップ 1 ファイル）"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir / "bin.txt"), binary);

  const TCliResult forced =
      RunCli({"-B", "-K", "un", "--on-error", "force", "-s", "hit", "--replace", "done", dir / "bin.txt"}, options);
  EXPECT_EQ(forced.Status, 0) << forced.Err;
  EXPECT_EQ(ReadWholeFile(dir / "bin.txt"), std::string("done\0x\n", 7));
}

TEST(CliReplace, CtrlCStopsBetweenFilesAndKeepsWrittenFiles) {
  TTempDir home, dir;
  char name[32];
  for (int i = 0; i < 3; ++i) {
    std::snprintf(name, sizeof name, "a%03d.txt", i);
    WriteWholeFile(dir / name, "hit\n");
  }
  for (int i = 0; i < 400; ++i) {
    std::snprintf(name, sizeof name, "b%03d.txt", i);
    WriteWholeFile(dir / name, "hit\n");
    ::chmod((dir / name).c_str(), 0444);
  }
  TCliOptions options;
  options.Home = home.Path();
  options.InterruptAfterErr = 1;
  options.SmallPipes = true;
  const TCliResult r = RunCli({"-B", "-s", "hit", "--replace", "done", dir.Path()}, options);
  EXPECT_EQ(r.Status, 130) << r.Err.substr(r.Err.size() > 300 ? r.Err.size() - 300 : 0);
  EXPECT_NE(r.Err.find("置換を中止しました。（書き込み 3 ファイル、スキップ "), std::string::npos);
  EXPECT_EQ(r.Err.find(dir / "b399.txt"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir / "a002.txt"), "done\n");
}

}  // namespace
