#include "backup/SettingsBackupIndex.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "settings/KELNode.h"
#include "settings/SettingsFile.h"

namespace {

void AddUnit(TBackup& backup, const std::string& name) {
  auto unit = std::make_unique<TBackupUnit>(&backup);
  unit->Name = name;
  unit->Time = boost::posix_time::time_from_string("2005-03-14 13:45:07");
  backup.Units.push_back(std::move(unit));
}

std::vector<std::string> UnitNames(const TBackup& backup) {
  std::vector<std::string> names;
  for (const auto& unit : backup.Units) names.push_back(unit->Name);
  return names;
}

// The unit names of the Backup block stored in the file.
std::vector<std::string> StoredUnitNames(const std::string& path) {
  hovrak::TKELNode tree;
  EXPECT_TRUE(tree.LoadFile(path));
  TBackup backup;
  EXPECT_TRUE(tree.ReadChild("Backup", backup));
  return UnitNames(backup);
}

using Names = std::vector<std::string>;

}  // namespace

TEST(SettingsBackupIndex, ChangesTheIndexAsStoredAndWritesItBack) {
  TTempDir dir;
  const std::string path = dir / "Mirun.kel";
  TSettingsBackupIndex store(path);

  // Nothing stored yet: the list in memory is kept and written.
  TBackup backup;
  AddUnit(backup, "mine");
  Names seen;
  ASSERT_EQ(store.Update(backup,
                         [&] {
                           seen = UnitNames(backup);
                           AddUnit(backup, "first");
                         }),
            0);
  EXPECT_EQ(seen, (Names{"mine"}));
  EXPECT_EQ(StoredUnitNames(path), (Names{"mine", "first"}));
  struct stat st;
  ASSERT_EQ(::stat((path + ".lock").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // Another process changed the file meanwhile: the change is made on what is
  // stored now, and the rest of the file stays.
  WriteWholeFile(path, "PathHistory=x\r\nBackup{\r\n  Unit{\r\n    Name=other\r\n  }\r\n}\r\nOption{\r\n}\r\n");
  ASSERT_EQ(store.Update(backup,
                         [&] {
                           seen = UnitNames(backup);
                           AddUnit(backup, "second");
                         }),
            0);
  EXPECT_EQ(seen, (Names{"other"}));
  EXPECT_EQ(UnitNames(backup), (Names{"other", "second"}));
  EXPECT_EQ(StoredUnitNames(path), (Names{"other", "second"}));
  EXPECT_EQ(ReadWholeFile(path),
            "PathHistory=x\r\n" + TSettingsFile::BlockBytes("Backup", backup) + "Option{\r\n}\r\n");
}

TEST(SettingsBackupIndex, FailuresComeBackAsErrnoWithoutRunningTheChange) {
  TTempDir dir;
  TBackup backup;
  bool ran = false;
  const auto change = [&] { ran = true; };
  WriteWholeFile(dir / "plain", "x");
  EXPECT_EQ(TSettingsBackupIndex(dir / "plain/Mirun.kel").Update(backup, change), ENOTDIR);
  EXPECT_EQ(TSettingsBackupIndex(dir / "missing/Mirun.kel").Update(backup, change), ENOENT);
  ::mkdir((dir / "folder").c_str(), 0700);
  EXPECT_EQ(TSettingsBackupIndex(dir / "folder").Update(backup, change), EISDIR);
  EXPECT_FALSE(ran);
}

TEST(SettingsBackupIndex, ABrokenFileIsRewrittenAndKeptAsBad) {
  TTempDir dir;
  const std::string path = dir / "Mirun.kel";
  const std::string broken = "Option{\r\n  Mode=Word\r\n";
  WriteWholeFile(path, broken);
  TBackup backup;
  ASSERT_EQ(TSettingsBackupIndex(path).Update(backup, [&] { AddUnit(backup, "u"); }), 0);
  EXPECT_EQ(StoredUnitNames(path), (Names{"u"})) << "the block stands at the top level";
  EXPECT_EQ(ReadWholeFile(path + ".bad"), broken);
}

TEST(SettingsBackupIndex, ConcurrentProcessesLoseNoUnit) {
  TTempDir dir;
  const std::string path = dir / "Mirun.kel";
  const int processes = 6;
  const int updates = 8;
  std::vector<pid_t> children;
  for (int p = 0; p < processes; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Each process has its own store and its own view of the index, as separate
      // runs of the program do.
      TBackup backup;
      TSettingsBackupIndex store(path);
      int failures = 0;
      for (int u = 0; u < updates; ++u) {
        const std::string name = "p" + std::to_string(p) + "_" + std::to_string(u);
        failures += store.Update(backup, [&] {
          ::usleep(2000);  // widens the window between reading and writing
          AddUnit(backup, name);
        }) != 0;
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const Names stored = StoredUnitNames(path);
  EXPECT_EQ(stored.size(), static_cast<std::size_t>(processes * updates));
  const std::set<std::string> distinct(stored.begin(), stored.end());
  for (int p = 0; p < processes; ++p) {
    for (int u = 0; u < updates; ++u) {
      EXPECT_EQ(distinct.count("p" + std::to_string(p) + "_" + std::to_string(u)), 1u) << p << " " << u;
    }
  }
}
