// mirun-cli never rewrites a file without its backup copy, and names every file it
// could not write with the system's reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <string>

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
  EXPECT_TRUE(Contains(r.Err, "cannot back up '" + dir / "a.txt" + "': Not a directory")) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "no file was rewritten")) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "会議\n");

  // Going on without the copy is the user's explicit choice.
  const TCliResult going =
      RunCli({"-b", "-K", "un", "-s", "会議", "--replace", "会合", "--on-backup-error", "continue", dir / "a.txt"},
             options);
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
  const TCliResult r = RunCli({"-b", "-K", "n", "-s", "hit", "--replace", "done", deep + "/f.txt", dir / "g.txt"},
                              options);
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
