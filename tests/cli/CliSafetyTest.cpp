// mirun-cli never rewrites a file without its backup copy, and names every file it
// could not write with the system's reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <thread>

#include "TestSupport.h"
#include "cli/CliProcess.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t CountEntries(const std::string& folder) {
  std::size_t n = 0;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    ::closedir(d);
  }
  return n;
}

}  // namespace

TEST(CliSafety, NoFileIsRewrittenWhenTheBackupCannotBeMade) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "会議\n");
  WriteWholeFile(dir / "home", "x\n");  // the settings folder is a file
  TCliOptions options;
  options.Home = dir / "home";
  const TCliResult r = RunCli({"-b", "-K", "un", "-s", "会議", "--replace", "会合", dir / "a.txt"}, options);
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "cannot record the backup in '" + dir / "home/Mirun.kel" + "': Not a directory"))
      << r.Err;
  EXPECT_TRUE(Contains(r.Err, "no file was rewritten")) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "会議\n");

  // Going on without the copy is the user's explicit choice.
  const TCliResult going = RunCli(
      {"-b", "-K", "un", "-s", "会議", "--replace", "会合", "--on-backup-error", "continue", dir / "a.txt"}, options);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "会合\n") << going.Err;
}

TEST(CliSafety, ACopyPathOverTheSystemLimitStopsTheReplace) {
  TTempDir dir, home;
  // A file deep enough that its copy inside the backup folder has a path too long.
  // The source path stays below PATH_MAX (4096); the copy's path, under the longer
  // backup folder, goes over it.
  std::string deep = dir.Path();
  while (deep.size() < 4070) {
    deep += "/" + std::string(std::min<std::size_t>(200, 4070 - deep.size()), 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0) << deep.size();
  }
  WriteWholeFile(deep + "/f.txt", "hit\n");
  WriteWholeFile(dir / "g.txt", "hit\n");
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult r =
      RunCli({"-b", "-K", "n", "-s", "hit", "--replace", "done", deep + "/f.txt", dir / "g.txt"}, options);
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "File name too long")) << r.Err;
  EXPECT_EQ(ReadWholeFile(deep + "/f.txt"), "hit\n");
  EXPECT_EQ(ReadWholeFile(dir / "g.txt"), "hit\n");
}

TEST(CliSafety, AWriteOverTheFileSizeLimitIsReportedWithItsReason) {
  TTempDir dir, home;
  const std::string before = std::string(1000, 'x') + "\nhit\n";
  WriteWholeFile(dir / "a.txt", before);
  WriteWholeFile(dir / "b.txt", "hit\n");
  TCliOptions options;
  options.Home = home.Path();
  options.FileSizeLimit = 1100;
  const TCliResult r = RunCli({"-B", "-K", "n", "-s", "hit", "--replace", std::string(300, 'y'), dir.Path()}, options);
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "'" + dir / "a.txt" + "': File too large")) << r.Err;
  EXPECT_FALSE(Contains(r.Err, "読取専用")) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), before);
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), std::string(300, 'y') + "\n");
  EXPECT_EQ(CountEntries(dir.Path()), 2u) << "a temporary file was left";
}

TEST(CliSafety, UserSkipsAreListedAndKeepTheExitStatus) {
  TTempDir dir, home;
  WriteWholeFile(dir / "bin.txt", std::string("hit\0x\n", 6));
  WriteWholeFile(dir / "ok.txt", "hit\n");
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult r = RunCli({"-B", "-K", "un", "-s", "hit", "--replace", "done", dir.Path()}, options);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "skipped: '" + dir / "bin.txt" + "'")) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "ok.txt"), "done\n");
}

// Two replaces at once on the same files and the same settings folder: no change of
// either is lost, and the backup index keeps the units of both.
TEST(CliSafety, TwoRunsAtOnceLoseNoUpdate) {
  TTempDir dir, home;
  constexpr int kFiles = 150;
  for (int i = 0; i < kFiles; ++i)
    WriteWholeFile(dir / ("f" + std::to_string(1000 + i) + ".txt"), "会議は東京で。\n次の会議も東京。\n");
  TCliOptions options;
  options.Home = home.Path();
  TCliResult first, second;
  std::thread one([&] {
    first = RunCli({"-b", "-K", "a", "--on-error", "force", "-s", "会議", "--replace", "会合", dir.Path()}, options);
  });
  std::thread two([&] {
    second = RunCli({"-b", "-K", "a", "--on-error", "force", "-s", "東京", "--replace", "京都", dir.Path()}, options);
  });
  one.join();
  two.join();
  EXPECT_EQ(first.Status, 0) << first.Err;
  EXPECT_EQ(second.Status, 0) << second.Err;
  int both = 0;
  for (int i = 0; i < kFiles; ++i)
    both += ReadWholeFile(dir / ("f" + std::to_string(1000 + i) + ".txt")) == "会合は京都で。\n次の会合も京都。\n";
  EXPECT_EQ(both, kFiles);
  // Two units in the index, each of a folder that exists.
  const std::string settings = ReadWholeFile(home / "Mirun.kel");
  std::size_t units = 0;
  for (std::size_t at = settings.find("Name="); at != std::string::npos; at = settings.find("Name=", at + 1)) {
    const std::size_t end = settings.find_first_of("\r\n", at);
    const std::string name = settings.substr(at + 5, end - at - 5);
    EXPECT_EQ(::access((home / "Backup/" + name).c_str(), F_OK), 0) << name;
    ++units;
  }
  EXPECT_EQ(units, 2u) << settings;
}

// A settings file with a block left open no longer swallows the backup index.
TEST(CliSafety, ABrokenSettingsFileIsRewrittenWholeAndKeptAside) {
  TTempDir dir, home;
  const std::string broken = "Option{\r\nCharCode=UTF8N\r\n";
  WriteWholeFile(home / "Mirun.kel", broken);
  TCliOptions options;
  options.Home = home.Path();
  for (int round = 0; round < 2; ++round) {
    WriteWholeFile(dir / "a.txt", "hit\n");
    const TCliResult r = RunCli({"-b", "-K", "n", "-s", "hit", "--replace", "done", dir / "a.txt"}, options);
    EXPECT_EQ(r.Status, 0) << r.Err;
  }
  EXPECT_EQ(ReadWholeFile(home / "Mirun.kel.bad"), broken);
  const std::string settings = ReadWholeFile(home / "Mirun.kel");
  // Both units at the top level, where the next run reads them.
  EXPECT_EQ(settings.rfind("Option{\r\n", 0), 0u) << settings;
  EXPECT_NE(settings.find("CharCode=UTF8N\r\n}\r\nBackup{\r\n"), std::string::npos) << settings;
  std::size_t units = 0;
  for (std::size_t at = settings.find("Unit{"); at != std::string::npos; at = settings.find("Unit{", at + 1)) ++units;
  EXPECT_EQ(units, 2u) << settings;
}
