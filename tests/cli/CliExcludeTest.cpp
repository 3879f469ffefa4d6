// End-to-end exclusions with the built mirun-cli on nested folders: "!" filters,
// --exclude, and the version-control folders left out unless --no-vcs-skip.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"

namespace {

class CliExclude : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.txt", "a.bak.txt", "notes.md", "old/b.txt", "sub/c.txt", "sub/old/d.txt",
                             "sub/old.txt/e.txt", "sub/deep/old.txt", "sub/deep/build/f.txt", "build/g.txt",
                             ".git/h.txt", "sub/.svn/i.txt", "sub/deep/.hg/j.txt", ".gitignore"})
      WriteWholeFile(dir_ / name, "hit\n");
  }
  // The files with a hit, relative to the folder, in search order.
  std::string Found(std::vector<std::string> args) {
    args.insert(args.end(), {"--files-with-matches", "-r", "-s", "hit", dir_.Path()});
    const TCliResult r = RunCli(args);
    EXPECT_TRUE(r.Status == 0 || r.Status == 1) << r.Err;
    std::string names;
    for (std::size_t at = 0; at < r.Out.size();) {
      const std::size_t end = r.Out.find('\n', at);
      names += r.Out.substr(at + dir_.Path().size() + 1, end - at - dir_.Path().size() - 1) + " ";
      at = end + 1;
    }
    return names;
  }
  TTempDir dir_;
};

TEST_F(CliExclude, VersionControlFoldersAreLeftOutUnlessAsked) {
  EXPECT_EQ(Found({}),
            ".gitignore a.bak.txt a.txt notes.md build/g.txt old/b.txt sub/c.txt sub/deep/old.txt "
            "sub/deep/build/f.txt sub/old/d.txt sub/old.txt/e.txt ");
  EXPECT_EQ(Found({"--no-vcs-skip", "-f", "*.txt"}),
            "a.bak.txt a.txt .git/h.txt build/g.txt old/b.txt sub/c.txt sub/.svn/i.txt sub/deep/old.txt "
            "sub/deep/.hg/j.txt sub/deep/build/f.txt sub/old/d.txt sub/old.txt/e.txt ");
}

TEST_F(CliExclude, BangFiltersAndExcludeLeaveNamesOutAtEveryDepth) {
  // "old/" leaves out folders named old only; the file old.txt and the folder
  // old.txt/ stay unless their own names match.
  EXPECT_EQ(Found({"-f", "*.txt !*.bak.txt !old/"}),
            "a.txt build/g.txt sub/c.txt sub/deep/old.txt sub/deep/build/f.txt sub/old.txt/e.txt ");
  EXPECT_EQ(Found({"-f", "*.txt", "--exclude", "*.bak.txt", "--exclude", "old/"}),
            Found({"-f", "*.txt !*.bak.txt !old/"}));
  // Without "/" a name leaves out files and folders alike.
  EXPECT_EQ(Found({"-f", "*.txt", "--exclude", "old.txt", "--exclude", "build"}),
            "a.bak.txt a.txt old/b.txt sub/c.txt sub/old/d.txt ");
  // A "/" inside names a path below the folder searched; a leading "/" the top.
  EXPECT_EQ(Found({"-f", "*.txt", "--exclude", "sub/deep/", "--exclude", "/build/"}),
            "a.bak.txt a.txt old/b.txt sub/c.txt sub/old/d.txt sub/old.txt/e.txt ");
  // Only exclusions: every other file.
  EXPECT_EQ(Found({"-f", "!*.txt"}), ".gitignore notes.md ");
  // A filter reaching into a folder that is left out finds nothing there.
  EXPECT_EQ(Found({"-R", "-f", "old/*.txt sub/*.txt !old/"}), "sub/c.txt ");
}

TEST_F(CliExclude, NamedFilesAreSearchedWhateverTheExclusions) {
  const TCliResult r =
      RunCli({"--files-with-matches", "--exclude", "*.txt", "-s", "hit", dir_ / ".git/h.txt", dir_ / "a.txt"});
  EXPECT_EQ(r.Out, dir_ / ".git/h.txt\n" + dir_ / "a.txt\n");
  EXPECT_EQ(RunCli({"--exclude", "", "-s", "hit", dir_.Path()}).Status, 2);
}

}  // namespace
