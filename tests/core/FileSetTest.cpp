#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <tuple>

#include "TestSupport.h"
#include "core/FileSet.h"
#include "shared/StoppedException.h"

namespace {

// Paths relative to the temporary folder, in list order.
TStringVector Relative(const TTempDir& dir, const TStringVector& paths) {
  TStringVector names;
  for (const std::string& path : paths) {
    EXPECT_EQ(path.compare(0, dir.Path().size() + 1, dir.Path() + "/"), 0) << path;
    names.push_back(path.substr(dir.Path().size() + 1));
  }
  return names;
}

TStringVector List(const TTempDir& dir, const TStringVector& filters, bool subFolders) {
  TFileSet set;
  set.AddFolder(dir.Path(), filters, subFolders);
  return Relative(dir, set.Files);
}

void MakeFolder(const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path; }

std::size_t IndexOf(const TStringVector& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) - list.begin();
}

}  // namespace

TEST(FileSet, FolderFilesSortedByteWiseAndOnceAcrossFilters) {
  TTempDir dir;
  for (const char* name : {"b.txt", "a.txt", "B.TXT", "c.htm", "d.doc", "\xE3\x81\x82.txt", "~.txt"})
    WriteWholeFile(dir / name, "x");
  // Both filters match every .txt name; each must come once, and pattern order
  // must not matter.
  const TStringVector expected = {"B.TXT", "a.txt", "b.txt", "c.htm", "~.txt", "\xE3\x81\x82.txt"};
  EXPECT_EQ(List(dir, {"*.txt", "*.TXT", "*.htm"}, false), expected);
  EXPECT_EQ(List(dir, {"*.htm", "*.TXT", "*.txt"}, false), expected);
  EXPECT_EQ(List(dir, {"*.xyz"}, false), TStringVector{});
  EXPECT_EQ(List(dir, {}, false), TStringVector{});
}

TEST(FileSet, SubFoldersComeAfterTheFolderAndAsWholeBranches) {
  TTempDir dir;
  WriteWholeFile(dir / "z.txt", "x");
  WriteWholeFile(dir / "a/2.txt", "x");
  WriteWholeFile(dir / "a/1.txt", "x");
  WriteWholeFile(dir / "a/deep/d.txt", "x");
  WriteWholeFile(dir / "b/b.txt", "x");
  WriteWholeFile(dir / ".hidden/h.txt", "x");
  MakeFolder(dir / "empty");
  EXPECT_EQ(List(dir, {"*"}, false), TStringVector{"z.txt"});

  // Subfolders come in byte-wise order; a branch is never interleaved.
  EXPECT_EQ(List(dir, {"*"}, true),
            (TStringVector{"z.txt", ".hidden/h.txt", "a/1.txt", "a/2.txt", "a/deep/d.txt", "b/b.txt"}));
}

TEST(FileSet, ListingReportsEachFolderOnceAndStopsKeepingFilesSoFar) {
  TTempDir dir;
  WriteWholeFile(dir / "top.txt", "x");
  WriteWholeFile(dir / "one/1.txt", "x");
  WriteWholeFile(dir / "one/sub/s.txt", "x");
  TFileSet set;
  std::vector<std::tuple<TProcessType, std::string, int, int>> reports;
  set.OnProcess = [&](TProcessType kind, const std::string& path, int index, int count) {
    reports.emplace_back(kind, path, index, count);
  };
  set.AddFolder(dir.Path(), {"*"}, true);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0], std::make_tuple(TProcessType::Listing, dir.Path(), 0, 0));
  EXPECT_EQ(reports[1], std::make_tuple(TProcessType::Listing, dir / "one", 0, 1));
  EXPECT_EQ(reports[2], std::make_tuple(TProcessType::Listing, dir / "one/sub", 0, 2));

  TFileSet stopped;
  int calls = 0;
  stopped.OnProcess = [&](TProcessType, const std::string&, int, int) {
    if (++calls == 2) throw EStoppedException();
  };
  EXPECT_THROW(stopped.AddFolder(dir.Path(), {"*"}, true), EStoppedException);
  EXPECT_EQ(Relative(dir, stopped.Files), TStringVector{"top.txt"});
}

TEST(FileSet, OnlyFilesAreListedAndLinkedFoldersAreNotEntered) {
  TTempDir dir;
  WriteWholeFile(dir / "real/r.txt", "x");
  ASSERT_EQ(symlink("real/r.txt", (dir / "file-link.txt").c_str()), 0);
  ASSERT_EQ(symlink("real", (dir / "folder-link.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir / "broken.txt").c_str()), 0);
  ASSERT_EQ(symlink("..", (dir / "real/loop").c_str()), 0);  // would cycle if followed
  ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0644), 0);
  MakeFolder(dir / "folder.txt");
  EXPECT_EQ(List(dir, {"*.txt"}, true), (TStringVector{"file-link.txt", "real/r.txt"}));
}

TEST(FileSet, UnusualNamesSurviveListing) {
  TTempDir dir;
  const TStringVector names = {"\n", ".dot", "a b.txt", "say \"hi\"", "tab\tname", "\xFF\xFE bad"};
  for (const std::string& name : names) WriteWholeFile(dir / name, "x");
  EXPECT_EQ(List(dir, {"*"}, false), names);
  EXPECT_EQ(List(dir, {"*.*"}, false), names);
  EXPECT_EQ(List(dir, {"*bad"}, false), TStringVector{"\xFF\xFE bad"});
}

TEST(FileSet, MissingAndUnreadableFoldersContributeNothing) {
  TTempDir dir;
  TFileSet set;
  set.AddFolder(dir / "missing", {"*"}, true);
  EXPECT_TRUE(set.Files.empty());

  WriteWholeFile(dir / "a/locked/secret.txt", "x");
  WriteWholeFile(dir / "b/open.txt", "x");
  WriteWholeFile(dir / "unreadable.txt", "x");
  ASSERT_EQ(chmod((dir / "unreadable.txt").c_str(), 0), 0);
  ASSERT_EQ(chmod((dir / "a/locked").c_str(), 0), 0);
  const TStringVector all = List(dir, {"*"}, true);
  // An unreadable file is still listed; it fails later, when it is loaded.
  EXPECT_LT(IndexOf(all, "unreadable.txt"), all.size());
  EXPECT_LT(IndexOf(all, "b/open.txt"), all.size());
  if (geteuid() != 0) {
    EXPECT_EQ(all.size(), 2u);
  } else {
    EXPECT_EQ(all.size(), 3u);  // permission bits do not stop root
  }
}

TEST(FileSet, WalkersStopWhenTheReceiverSaysSo) {
  TTempDir dir;
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) WriteWholeFile(dir / name, "x");
  for (const char* name : {"x/y/z", "p/q"}) WriteWholeFile(dir / (std::string(name) + "/f"), "x");
  int seen = 0;
  const TPathReceiver stopAtSecond = [&seen](const std::string&) { return ++seen < 2; };
  EXPECT_FALSE(TFileSet::ForEachFile(dir.Path(), "*.txt", stopAtSecond));
  EXPECT_EQ(seen, 2);
  seen = 0;
  EXPECT_FALSE(TFileSet::ForEachSubFolder(dir.Path(), stopAtSecond));
  EXPECT_EQ(seen, 2);
  TStringVector folders;
  EXPECT_TRUE(TFileSet::ForEachSubFolder(dir.Path(), [&folders](const std::string& path) {
    folders.push_back(path);
    return true;
  }));
  EXPECT_EQ(folders.size(), 5u);
  // Pre-order: every folder comes right before the folders below it.
  const std::size_t x = IndexOf(folders, dir / "x");
  ASSERT_LT(x + 2, folders.size());
  EXPECT_EQ(folders[x + 1], dir / "x/y");
  EXPECT_EQ(folders[x + 2], dir / "x/y/z");
  EXPECT_TRUE(TFileSet::ForEachFile(dir / "missing", "*", stopAtSecond));
}

TEST(FileSet, PatternWithFolderPartLooksInThatFolder) {
  TTempDir dir;
  WriteWholeFile(dir / "sub/in.txt", "x");
  WriteWholeFile(dir / "out.txt", "x");
  TStringVector found;
  TFileSet::ForEachFile(dir.Path() + "/", "sub/*.txt", [&found](const std::string& path) {
    found.push_back(path);
    return true;
  });
  // The reported path names the file that was found.
  EXPECT_EQ(found, TStringVector{dir / "sub/in.txt"});
  found.clear();
  TFileSet::ForEachFile(dir.Path(), "sub/", [&found](const std::string& path) {
    found.push_back(path);
    return true;
  });
  EXPECT_TRUE(found.empty());
}

TEST(FileSet, JoinPathAddsOneDelimiter) {
  EXPECT_EQ(TFileSet::JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(TFileSet::JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(TFileSet::JoinPath("/", "b"), "/b");
  EXPECT_EQ(TFileSet::JoinPath("", "b"), "/b");
  // A folder given with a trailing slash lists clean paths.
  TTempDir dir;
  WriteWholeFile(dir / "f", "x");
  TFileSet set;
  set.AddFolder(dir.Path() + "/", {"*"}, false);
  EXPECT_EQ(set.Files, TStringVector{dir / "f"});
}
