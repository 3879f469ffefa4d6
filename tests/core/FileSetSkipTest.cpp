// What the listing and the search pass over without asking is reported through
// OnSkipped, and subfolders are walked in the same order on every machine.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "core/FileSet.h"
#include "core/MirunApp.h"
#include "place/PlaceList.h"
#include "settings/Option.h"

namespace {

using TSkip = std::pair<std::string, TSkipReason>;

// Takes away the capabilities that let root read any folder, for the life of the
// object (the calling thread only); Active() is false where that is not possible.
class TNoFileCapabilities {
 public:
  TNoFileCapabilities() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    const unsigned bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    lowered[0].effective &= ~bits;
    active_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~TNoFileCapabilities() {
    if (active_) syscall(SYS_capset, &header_, saved_);
  }
  bool Active() const { return active_; }

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

// A chain of folders made and removed through descriptors, so that its paths may
// be longer than the system accepts in one piece.
class TDeepChain {
 public:
  TDeepChain(const std::string& base, const std::string& name, int depth) : name_(name) {
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    fds_.push_back(fd);
    for (int i = 0; i < depth && fd >= 0; ++i) {
      mkdirat(fd, name.c_str(), 0755);
      fd = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
      fds_.push_back(fd);
    }
  }
  ~TDeepChain() {
    for (const auto& entry : entries_) unlinkat(fds_.back(), entry.first.c_str(), entry.second ? AT_REMOVEDIR : 0);
    for (std::size_t i = fds_.size(); i-- > 0;) {
      if (i + 1 < fds_.size()) unlinkat(fds_[i], name_.c_str(), AT_REMOVEDIR);
      if (fds_[i] >= 0) close(fds_[i]);
    }
  }
  // A file or an empty folder in the deepest folder.
  void Add(const std::string& entry, bool folder) {
    if (folder) {
      ASSERT_EQ(mkdirat(fds_.back(), entry.c_str(), 0755), 0);
    } else {
      const int fd = openat(fds_.back(), entry.c_str(), O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(fd, 0);
      close(fd);
    }
    entries_.emplace_back(entry, folder);
  }

 private:
  std::string name_;
  std::vector<int> fds_;
  std::vector<std::pair<std::string, bool>> entries_;
};

}  // namespace

TEST(FileSetOrder, SubfoldersAreVisitedInByteWiseOrder) {
  TTempDir dir;
  // Enough siblings that a directory's own order is never sorted by chance; names
  // with bytes from 0x80 up sort after every ASCII name.
  std::vector<std::string> names;
  for (char c = 'a'; c <= 'z'; ++c) names.push_back(std::string(1, c) + (c % 3 ? "x" : ""));
  names.insert(names.end(), {"B", "Z9", "_", "m", "\xE3\x81\x82", "\xFF"});
  for (auto it = names.rbegin(); it != names.rend(); ++it) WriteWholeFile(dir / *it + "/f.txt", "x");
  WriteWholeFile(dir / "m/inner2/f.txt", "x");
  WriteWholeFile(dir / "m/inner1/f.txt", "x");
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());

  TStringVector visited;
  TFileSet::ForEachSubFolder(dir.Path(), [&visited, &dir](const std::string& path) {
    visited.push_back(path.substr(dir.Path().size() + 1));
    return true;
  });
  TStringVector expected;
  for (const std::string& name : sorted) {
    expected.push_back(name);
    if (name == "m") expected.insert(expected.end(), {"m/inner1", "m/inner2"});
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(expected.front(), "B");
  EXPECT_EQ(expected.back(), "\xFF");
}

TEST(FileSetSkips, AFolderThatCannotBeReadIsReportedOnce) {
  TTempDir dir;
  WriteWholeFile(dir / "open/a.txt", "x");
  WriteWholeFile(dir / "locked/inner/b.txt", "x");
  ASSERT_EQ(chmod((dir / "locked").c_str(), 0), 0);
  TFileSet set;
  std::vector<TSkip> skips;
  set.OnSkipped = [&skips](const std::string& path, TSkipReason reason) { skips.emplace_back(path, reason); };
  {
    TNoFileCapabilities guard;
    DIR* probe = opendir((dir / "locked").c_str());
    if (probe) closedir(probe);
    if (!guard.Active() || probe) {
      chmod((dir / "locked").c_str(), 0700);
      GTEST_SKIP() << "cannot make a folder unreadable here";
    }
    // Two filters read each folder twice, and the walk reads it once more.
    set.AddFolder(dir.Path() + "/", {"*.txt", "*"}, true);
  }
  chmod((dir / "locked").c_str(), 0700);
  EXPECT_EQ(set.Files, TStringVector{dir / "open/a.txt"});
  EXPECT_EQ(skips, (std::vector<TSkip>{{dir / "locked", TSkipReason::FolderUnreadable}}));

  // A folder that is not there is no news.
  skips.clear();
  TFileSet missing;
  missing.OnSkipped = set.OnSkipped;
  missing.AddFolder(dir / "gone", {"*", "sub/*"}, true);
  EXPECT_TRUE(skips.empty());
}

TEST(FileSetSkips, PathsTooLongToOpenAreReportedAndLeftOut) {
  TTempDir dir;
  // As deep as names of 200 bytes go with room left for a short file name.
  const std::string name(200, 'd');
  const int depth = static_cast<int>((PATH_MAX - 1 - 16 - dir.Path().size()) / (name.size() + 1));
  TDeepChain chain(dir.Path(), name, depth);
  std::string path = dir.Path();
  for (int i = 0; i < depth; ++i) path += "/" + name;
  const std::string longFile(PATH_MAX - path.size(), 'f');
  const std::string longFolder(250, 'g');
  chain.Add("ok.txt", false);
  chain.Add(longFile, false);
  chain.Add(longFolder, true);

  TFileSet set;
  std::vector<TSkip> skips;
  set.OnSkipped = [&skips](const std::string& p, TSkipReason reason) { skips.emplace_back(p, reason); };
  set.AddFolder(dir.Path(), {"*"}, true);
  EXPECT_EQ(set.Files, TStringVector{path + "/ok.txt"});
  EXPECT_EQ(skips, (std::vector<TSkip>{{path + "/" + longFile, TSkipReason::PathTooLong},
                                       {path + "/" + longFolder, TSkipReason::PathTooLong}}));
}

TEST(FileSetSkips, FilesOverTheSizeLimitAreReportedNotAsked) {
  TTempDir dir;
  WriteWholeFile(dir / "big.txt", std::string(100, 'a') + "z");
  WriteWholeFile(dir / "small.txt", "z");
  TMirunApp app;
  app.Option->MaxFileSize = 100;
  std::vector<TSkip> skips;
  app.OnSkipped = [&skips](const std::string& p, TSkipReason reason) { skips.emplace_back(p, reason); };
  bool asked = false;
  app.OnFileError = [&asked](const std::string&, TFileOperationResult, int) {
    asked = true;
    return TDecision::Skip;
  };
  for (const TCharCode code : {TCharCode::Auto, TCharCode::ASCII}) {
    skips.clear();
    app.Option->CharCode = code;
    EXPECT_EQ(app.Search({dir.Path()}, {"*"}, "z"), SearchCompleted);
    EXPECT_EQ(app.PlaceList->Count(), 1);
    EXPECT_EQ(skips, (std::vector<TSkip>{{dir / "big.txt", TSkipReason::TooLarge}}));
  }
  EXPECT_FALSE(asked);
}
