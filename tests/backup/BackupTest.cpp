#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "settings/KELNode.h"
#include "settings/Serializer.h"

namespace fs = std::filesystem;
namespace pt = boost::posix_time;
using hovrak::TKELNode;

namespace {

const pt::ptime kDay = pt::time_from_string("2005-03-14 13:45:07");

// A store whose clock the test sets.
class TClockedBackup : public TBackup {
 public:
  pt::ptime Clock = kDay;
  pt::ptime Now() const override { return Clock; }
};

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Entries below folder, the marks of the units not counted.
std::size_t CountEntries(const std::string& folder) {
  std::size_t count = 0;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it)
    count += it->path().filename() != ".mirun-unit" ? 1 : 0;
  return count;
}

class BackupStore : public ::testing::Test {
 protected:
  TTempDir dir;
  TClockedBackup backup;
  std::string src = dir / "src";

  // The small limit and the age rule of older settings files, whose values stay.
  BackupStore() {
    backup.BackupDir = dir / "Backup";
    backup.MaxSize = 3 * 1048576;
    backup.DeletableTime = pt::seconds(0);
  }

  std::string File(const std::string& relative, std::size_t size, char fill = 'x') {
    const std::string path = src + "/" + relative;
    WriteWholeFile(path, std::string(size, fill));
    return path;
  }
  std::string Copy(const TBackupUnit& unit, std::size_t i) const { return unit.Folder() + "/" + unit.Files.at(i); }
  // A unit of the given size made by a real backup at the given time.
  const TBackupUnit& Unit(const std::string& name, std::size_t size, pt::ptime when = kDay) {
    backup.Clock = when;
    backup.MakeBackup({File(name, size)});
    return *backup.Units.back();
  }
};

}  // namespace

TEST_F(BackupStore, CopiesAreExactWithTimeAndModeKept) {
  const std::string a = File("a.txt", 100, 'a');
  const std::string b = File("sub/deeper/b.bin", 3000, 'b');
  ASSERT_EQ(chmod(a.c_str(), 0640), 0);
  ASSERT_EQ(chmod(b.c_str(), 0755), 0);
  const timespec old[2] = {{1110000000, 123456789}, {1110000000, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, a.c_str(), old, 0), 0);

  backup.MakeBackup({a, b});
  ASSERT_EQ(backup.Units.size(), 1u);
  const TBackupUnit& unit = *backup.Units[0];
  EXPECT_EQ(unit.Name, "20050314_src_1");
  EXPECT_EQ(unit.BaseDir, src);
  EXPECT_EQ(unit.Time, kDay);
  EXPECT_EQ(unit.Files, (TStringVector{"a.txt", "sub/deeper/b.bin"}));
  EXPECT_EQ(unit.Size, 3100u);
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string source = i == 0 ? a : b;
    EXPECT_EQ(ReadWholeFile(Copy(unit, i)), ReadWholeFile(source));
    struct stat from, to;
    ASSERT_EQ(stat(source.c_str(), &from), 0);
    ASSERT_EQ(stat(Copy(unit, i).c_str(), &to), 0);
    EXPECT_EQ(to.st_mode & 07777, from.st_mode & 07777);
    EXPECT_EQ(to.st_mtim.tv_sec, from.st_mtim.tv_sec);
    EXPECT_EQ(to.st_mtim.tv_nsec, from.st_mtim.tv_nsec);
  }
  // Nothing but the copies and their folders, no leftovers of the copying.
  EXPECT_EQ(CountEntries(unit.Folder()), 4u);
}

TEST_F(BackupStore, UnitNamesCountUpAndSkipTakenNames) {
  const std::string a = File("a.txt", 10);
  backup.MakeBackup({a});
  backup.MakeBackup({a});
  ASSERT_EQ(mkdir((dir / "Backup/20050314_src_3").c_str(), 0755), 0);  // made by hand
  backup.MakeBackup({a});
  // A listed unit whose folder has gone keeps its name to itself.
  fs::remove_all(dir / "Backup/20050314_src_1");
  backup.MakeBackup({a});
  ASSERT_EQ(backup.Units.size(), 4u);
  EXPECT_EQ(backup.Units[0]->Name, "20050314_src_1");
  EXPECT_EQ(backup.Units[1]->Name, "20050314_src_2");
  EXPECT_EQ(backup.Units[2]->Name, "20050314_src_4");
  EXPECT_EQ(backup.Units[3]->Name, "20050314_src_5");
}

TEST_F(BackupStore, FilesAtTheRootAndWithoutCommonFolder) {
  TBackupUnit unit(&backup);
  unit.Time = kDay;
  unit.BaseDir = TBackup::CommonBaseDir({"/a1.txt", "/a2.txt"});
  EXPECT_EQ(unit.BaseDir, "/");
  EXPECT_EQ(unit.BackupFileName("/a1.txt"), "a1.txt");

  // Without files: a unit all the same, but no folder on disk.
  backup.MakeBackup({});
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Name, "20050314__1");
  EXPECT_EQ(backup.Units[0]->BaseDir, "");
  EXPECT_EQ(backup.Units[0]->Size, 0u);
  EXPECT_FALSE(Exists(backup.Units[0]->Folder()));
}

TEST_F(BackupStore, CollidingCopyNamesGetSuffixes) {
  const std::string backslash = File("a\\b.txt", 1, '1');
  const std::string underscore = File("a_b.txt", 2, '2');
  const std::string colon = File("a:b.txt", 3, '3');
  const std::string plainFile = File("x_", 4, '4');       // a file named like ...
  const std::string inFolder = File("x:/y.txt", 5, '5');  // ... the folder of this copy
  backup.MakeBackup({backslash, underscore, colon, plainFile, inFolder});
  const TBackupUnit& unit = *backup.Units.at(0);
  EXPECT_EQ(unit.Files, (TStringVector{"a_b.txt", "a_b.txt~2", "a_b.txt~3", "x_", "x_~2/y.txt"}));
  const TStringVector sources{backslash, underscore, colon, plainFile, inFolder};
  for (std::size_t i = 0; i < sources.size(); ++i) EXPECT_EQ(ReadWholeFile(Copy(unit, i)), ReadWholeFile(sources[i]));
  EXPECT_EQ(unit.Size, 15u);
}

TEST_F(BackupStore, TargetsClimbingOutStillLandInsideTheUnit) {
  const std::string inside = File("b.txt", 1);
  WriteWholeFile(dir / "other/a.txt", "outside");
  const std::string climbing = src + "/../other/a.txt";
  backup.MakeBackup({climbing, inside});
  const TBackupUnit& unit = *backup.Units.at(0);
  EXPECT_EQ(unit.Files, (TStringVector{"__/other/a.txt", "b.txt"}));
  EXPECT_EQ(ReadWholeFile(Copy(unit, 0)), "outside");
  // Outside the backup folder nothing new appeared.
  EXPECT_EQ(CountEntries(dir.Path()) - CountEntries(dir / "Backup"), 5u);
}

TEST_F(BackupStore, AFailedCopyIsReportedAndNotListed) {
  const std::string present = File("a.txt", 7);
  const std::string missing = src + "/gone.txt";
  const std::string unreadable = File("secret.txt", 9);
  ASSERT_EQ(chmod(unreadable.c_str(), 0), 0);
  const bool isRoot = geteuid() == 0;
  const TBackupReport report = backup.MakeBackup({missing, present, unreadable});
  const TBackupUnit& unit = *backup.Units.at(0);
  EXPECT_EQ(report.UnitName, unit.Name);
  EXPECT_FALSE(report.Complete());
  ASSERT_EQ(report.Failures.size(), isRoot ? 1u : 2u);
  EXPECT_EQ(report.Failures[0].Path, missing);
  EXPECT_EQ(report.Failures[0].Error, ENOENT);
  if (!isRoot) {
    EXPECT_EQ(report.Failures[1].Error, EACCES);
  }
  // The index lists only copies that exist.
  EXPECT_EQ(unit.Files, isRoot ? (TStringVector{"a.txt", "secret.txt"}) : (TStringVector{"a.txt"}));
  EXPECT_EQ(unit.Size, isRoot ? 16u : 7u);
  EXPECT_EQ(CountEntries(unit.Folder()), isRoot ? 2u : 1u);
}

TEST_F(BackupStore, OldestUnitsGoUntilTheRestFit) {
  const std::size_t mb = 1048576;
  const TBackupUnit& first = Unit("one", mb);
  const std::string firstFolder = first.Folder();
  Unit("two", mb);
  Unit("three", mb * 8 / 10);
  ASSERT_EQ(backup.Units.size(), 3u);
  Unit("four", mb / 2);  // 3.3 MB together: the oldest goes, 2.3 MB remain
  ASSERT_EQ(backup.Units.size(), 3u);
  EXPECT_EQ(backup.Units[0]->Name, "20050314_src_2");
  EXPECT_FALSE(Exists(firstFolder));
  for (const auto& unit : backup.Units) EXPECT_TRUE(Exists(unit->Folder()));
}

TEST_F(BackupStore, ABackupOverTheLimitAsksFirst) {
  const std::size_t mb = 1048576;
  Unit("one", mb);
  Unit("two", mb);
  const std::string big = File("big", 4 * mb);
  std::vector<std::uint64_t> asked;
  bool answer = false;
  backup.MakeBackup({big});  // no question installed: no backup
  backup.OnConfirmSize = [&](std::uint64_t total) {
    asked.push_back(total);
    return answer;
  };
  backup.MakeBackup({big});
  ASSERT_EQ(backup.Units.size(), 2u);
  answer = true;
  backup.MakeBackup({big});
  EXPECT_EQ(asked, (std::vector<std::uint64_t>{4 * mb, 4 * mb}));
  // Every older unit goes; the new one stays although it alone is over the limit.
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Size, 4 * mb);
  EXPECT_EQ(CountEntries(dir / "Backup"), 2u);
}

TEST_F(BackupStore, TotalsOf4GiBAndMoreDoNotWrap) {
  // A sparse file just over 4 GiB: summed in 32 bits it would look like 1 MB.
  const std::string huge = File("huge", 0);
  ASSERT_EQ(truncate(huge.c_str(), (std::int64_t(1) << 32) + 1048576), 0);
  std::uint64_t asked = 0;
  backup.OnConfirmSize = [&](std::uint64_t total) {
    asked = total;
    return false;
  };
  backup.MakeBackup({huge});
  EXPECT_EQ(asked, (std::uint64_t(1) << 32) + 1048576);
  EXPECT_TRUE(backup.Units.empty());

  // Two saturated units from the index: their sum must still count as over the limit.
  TKELNode node;
  node.LoadFromBytes("Unit{\r\nName=a\r\nSize=4294967295\r\n}\r\nUnit{\r\nName=b\r\nSize=4294967295\r\n}\r\n");
  backup.Read(node);
  backup.MakeBackup({File("small", 10)});
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Size, 10u);
}

TEST_F(BackupStore, YoungUnitsStayWhenTheUserRefuses) {
  backup.MaxSize = 1000;
  const pt::ptime now = kDay + pt::hours(24 * 30);
  int questions = 0;
  TStringVector askedAbout;
  backup.OnConfirmDelete = [&](const TBackup::TUnitPointers& units) {
    ++questions;
    for (const TBackupUnit* unit : units) askedAbout.push_back(unit->Name);
    return false;
  };
  Unit("old1", 400, now - pt::hours(24 * 14));
  Unit("old2", 400, now - pt::hours(24 * 14));
  Unit("new", 100, now - pt::hours(24));
  // DeletableTime 0: nothing is young, nobody is asked.
  Unit("limit", 300, now - pt::hours(24));
  EXPECT_EQ(questions, 0);
  ASSERT_EQ(backup.Units.size(), 3u);
  EXPECT_EQ(backup.Units[0]->Name, "20050330_src_2");

  backup.DeletableTime = pt::hours(24 * 7);
  Unit("trigger", 900, now);  // all three older units are to go; two are young
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(askedAbout, (TStringVector{"20050412_src_1", "20050412_src_2"}));
  ASSERT_EQ(backup.Units.size(), 3u);
  EXPECT_EQ(backup.Units[0]->Name, "20050412_src_1");
  EXPECT_EQ(backup.Units[2]->Name, "20050413_src_1");
  EXPECT_EQ(CountEntries(dir / "Backup"), 6u);
}

TEST_F(BackupStore, DeletingLeavesUnlistedFilesAndTheirFolders) {
  backup.MaxSize = 11;
  backup.MakeBackup({File("a/b/c.txt", 5), File("d.txt", 5)});
  ASSERT_EQ(backup.Units.size(), 1u);
  const std::string folder = backup.Units[0]->Folder();
  WriteWholeFile(folder + "/mine/note.txt", "kept");
  ASSERT_EQ(mkdir((folder + "/empty").c_str(), 0755), 0);
  backup.MakeBackup({File("e.txt", 1)});
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(ReadWholeFile(folder + "/mine/note.txt"), "kept");
  EXPECT_EQ(CountEntries(folder), 2u);
}

TEST_F(BackupStore, HostileIndexEntriesNeverDeleteOutside) {
  WriteWholeFile(dir / "victim/x", "v");
  WriteWholeFile(dir / "victim/sub/y", "v");
  WriteWholeFile(dir / "Backup/ok/x", "backup copy");
  WriteWholeFile(dir / "Backup/ok/.mirun-unit", "Mirun backup unit\nok\n");
  // A unit folder swapped for a link to somewhere else.
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "Backup/linked").c_str()), 0);
  const std::string block = "Dir=" + dir / "Backup" +
                            "\r\nMaxSize=2\r\n"
                            "Unit{\r\nName=../victim\r\nFile=x\r\n}\r\n"
                            "Unit{\r\nName=" +
                            dir / "victim" +
                            "\r\nFile=x\r\n}\r\n"
                            "Unit{\r\nName=..\r\nFile=victim/x\r\n}\r\n"
                            "Unit{\r\nName=.\r\nFile=x\r\n}\r\n"
                            "Unit{\r\nName=\r\nFile=x\r\n}\r\n"
                            "Unit{\r\nName=ok\r\nFile=../../victim/x\r\n}\r\n"
                            "Unit{\r\nName=ok\r\nFile=" +
                            dir / "victim/x" +
                            "\r\n}\r\n"
                            "Unit{\r\nName=ok\r\nFile=sub/./../x\r\n}\r\n"
                            "Unit{\r\nName=linked\r\nSize=1\r\nFile=x\r\nFile=sub/y\r\n}\r\n"
                            "Unit{\r\nName=ok\r\nSize=1\r\nFile=x\r\n}\r\n";
  TKELNode node;
  node.LoadFromBytes(block);
  backup.Read(node);
  ASSERT_EQ(backup.Units.size(), 2u);
  EXPECT_EQ(backup.Units[0]->Name, "linked");
  EXPECT_EQ(backup.Units[1]->Name, "ok");

  backup.MakeBackup({File("new.txt", 1)});  // prunes both listed units
  EXPECT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(ReadWholeFile(dir / "victim/x"), "v");
  EXPECT_EQ(ReadWholeFile(dir / "victim/sub/y"), "v");
  EXPECT_TRUE(Exists(dir / "Backup/linked"));
  EXPECT_FALSE(Exists(dir / "Backup/ok"));
}

TEST_F(BackupStore, TheSettingsFileKeepsTheIndexByteForByte) {
  const std::string text =
      "Ver3First=0\r\n"
      "Backup{\r\n"
      "  Dir=/home/user/backups\r\n"
      "  MaxSize=10485760\r\n"
      "  DeletableTime=168:00:00\r\n"
      "  Unit{\r\n"
      "    Time=2005-03-14 13:45:07\r\n"
      "    Name=20050314_src_1\r\n"
      "    Size=4294967295\r\n"
      "    BaseDir=/home/user/src\r\n"
      "    File=readme.txt\r\n"
      "    File=sub/main.c\r\n"
      "    File=a\\b name.txt~2\r\n"
      "  }\r\n"
      "  Unit{\r\n"
      "    Time=2005-03-15 08:00:00\r\n"
      "    Name=20050315__1\r\n"
      "    Size=0\r\n"
      "    BaseDir=\r\n"
      "  }\r\n"
      "}\r\n";
  WriteWholeFile(dir / "Mirun.kel", text);
  TSerializer serializer(nullptr, &backup, nullptr);
  ASSERT_TRUE(serializer.LoadFromFile(dir / "Mirun.kel"));
  EXPECT_EQ(backup.BackupDir, "/home/user/backups");
  EXPECT_EQ(backup.MaxSize, 10485760u);
  EXPECT_EQ(backup.DeletableTime, pt::hours(168));
  ASSERT_EQ(backup.Units.size(), 2u);
  EXPECT_EQ(backup.Units[0]->Size, 4294967295u) << "taken as written, without looking at the disk";
  EXPECT_EQ(backup.Units[0]->Files.size(), 3u);
  EXPECT_EQ(backup.Units[1]->Time, pt::time_from_string("2005-03-15 08:00:00"));
  EXPECT_EQ(backup.Units[0]->Owner(), &backup);

  ASSERT_TRUE(serializer.SaveToFile(dir / "Saved.kel"));
  EXPECT_EQ(ReadWholeFile(dir / "Saved.kel"), text);
}

TEST_F(BackupStore, UnreadableValuesKeepTheirDefaults) {
  TKELNode node;
  node.LoadFromBytes("MaxSize=lots\r\nDeletableTime=a week\r\nUnit{\r\nTime=2005-02-30 10:00:00\r\nName=n\r\n}\r\n");
  const std::string dirBefore = backup.BackupDir;
  backup.Read(node);
  EXPECT_EQ(backup.BackupDir, dirBefore);
  EXPECT_EQ(backup.MaxSize, 3145728u);
  EXPECT_EQ(backup.DeletableTime, pt::seconds(0));
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Time, pt::time_from_string("2000-01-01 00:00:00"));
}

TEST(BackupDefaults, TheDefaultFolderIsBesideTheSettingsFileWithRoomForTheUndoHistory) {
  TBackup backup;
  EXPECT_EQ(backup.BackupDir, std::string(getenv("MIRUN_HOME")) + "/Backup");
  EXPECT_EQ(backup.MaxSize, 1024u * 1048576u);
  EXPECT_EQ(backup.DeletableTime, pt::hours(24 * 7));
  EXPECT_TRUE(backup.Units.empty());

  // A settings file without the two keys gets them; stored values stay as they are.
  TKELNode none;
  none.LoadFromBytes("Dir=/b\r\n");
  backup.Read(none);
  EXPECT_EQ(backup.MaxSize, TBackup::kDefaultMaxSize);
  EXPECT_EQ(backup.DeletableTime, pt::hours(24 * TBackup::kDefaultDeletableDays));
  TKELNode stored;
  stored.LoadFromBytes("MaxSize=3145728\r\nDeletableTime=00:00:00\r\n");
  backup.Read(stored);
  EXPECT_EQ(backup.MaxSize, 3145728u);
  EXPECT_EQ(backup.DeletableTime, pt::seconds(0));
}

TEST_F(BackupStore, PrunedUnitsAreThoseTheQuestionNamedAndAreReported) {
  const std::size_t kb = 1024;
  backup.MaxSize = 10 * kb;
  Unit("one", 4 * kb, kDay);
  Unit("two", 4 * kb, kDay + pt::hours(1));
  Unit("three", 1 * kb, kDay + pt::hours(2));
  // Being restored from: passed over, though it is the oldest.
  backup.KeptUnits.insert(backup.Units[0]->Name);

  // 9 KB listed and 6 KB to come: the second unit goes, then 11 KB are still too
  // much, so the third goes too; the kept one stays.
  const TBackup::TUnitPointers doomed = backup.UnitsToPrune(6 * kb);
  ASSERT_EQ(doomed.size(), 2u);
  EXPECT_EQ(doomed[0], backup.Units[1].get());
  EXPECT_EQ(doomed[1], backup.Units[2].get());
  EXPECT_TRUE(backup.UnitsToPrune(0).empty());

  const std::string second = backup.Units[1]->Name;
  const std::string third = backup.Units[2]->Name;
  backup.Clock = kDay + pt::hours(3);
  const TBackupReport report = backup.MakeBackup({File("four", 6 * kb)});
  ASSERT_EQ(report.Pruned.size(), 2u);
  EXPECT_EQ(report.Pruned[0].Name, second);
  EXPECT_EQ(report.Pruned[0].Time, kDay + pt::hours(1));
  EXPECT_EQ(report.Pruned[0].BaseDir, src);
  EXPECT_EQ(report.Pruned[1].Name, third);
  ASSERT_EQ(backup.Units.size(), 2u);
  EXPECT_EQ(backup.Units[1]->Name, report.UnitName);

  // Young units the user keeps are not reported as pruned.
  backup.KeptUnits.clear();
  backup.DeletableTime = pt::hours(24);
  backup.OnConfirmDelete = [](const TBackup::TUnitPointers&) { return false; };
  EXPECT_TRUE(backup.MakeBackup({File("five", 9 * kb)}).Pruned.empty());
  EXPECT_EQ(backup.Units.size(), 3u);
}

// Another process makes a large unit; this one backs up small ones meanwhile with a
// limit both exceed. The unit being made is never pruned, and its index entry lists
// exactly the copies it has.
TEST_F(BackupStore, AUnitBeingMadeByAnotherProcessIsNeverPruned) {
  TTempDir home;
  TSettingsBackupIndex index(home / "Mirun.kel");
  backup.IndexStore = &index;
  backup.MaxSize = 1000;
  TStringVector big;
  for (int i = 0; i < 40; ++i) big.push_back(File("big/f" + std::to_string(i), 100));
  int toParent[2], toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TBackup other;
    other.BackupDir = backup.BackupDir;
    other.MaxSize = 1000;
    TSettingsBackupIndex otherIndex(home / "Mirun.kel");
    other.IndexStore = &otherIndex;
    other.OnConfirmSize = [](std::uint64_t) { return true; };
    // Half-way through its copies it lets the parent run, and waits for it.
    other.OnProgress = [&](const std::string&, int index, int) {
      if (index != 20) return;
      char c = 'x';
      (void)!write(toParent[1], &c, 1);
      (void)!read(toChild[0], &c, 1);
    };
    const TBackupReport report = other.MakeBackup(big);
    _exit(report.Complete() ? 0 : 1);
  }
  char c;
  ASSERT_EQ(read(toParent[0], &c, 1), 1);
  backup.OnConfirmSize = [](std::uint64_t) { return true; };
  for (int i = 0; i < 3; ++i) backup.MakeBackup({File("small" + std::to_string(i), 600)});
  ASSERT_EQ(write(toChild[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  index.Update(backup, [] {});
  const TBackupUnit* made = nullptr;
  for (const auto& unit : backup.Units)
    if (unit->BaseDir == src + "/big") made = unit.get();
  ASSERT_NE(made, nullptr) << "the unit made meanwhile is still indexed";
  EXPECT_EQ(made->Files.size(), 40u);
  for (std::size_t i = 0; i < made->Files.size(); ++i) EXPECT_TRUE(Exists(Copy(*made, i))) << made->Files[i];
}

// An index copied from elsewhere names a folder of the user's as a unit: pruning
// forgets the entry and deletes nothing, since the folder holds no mark of a unit.
TEST_F(BackupStore, PruningDeletesNothingInAFolderWithoutTheMarkOfAUnit) {
  WriteWholeFile(dir / "user/docs/thesis.txt", "precious");
  WriteWholeFile(dir / "user/20050314_x_1/.mirun-unit", "Mirun backup unit\nother_name\n");
  WriteWholeFile(dir / "user/20050314_x_1/a.txt", "kept too");
  TKELNode node;
  node.LoadFromBytes("Dir=" + dir / "user" +
                     "\r\nMaxSize=10\r\n"
                     "Unit{\r\nName=docs\r\nSize=100\r\nFile=thesis.txt\r\n}\r\n"
                     "Unit{\r\nName=20050314_x_1\r\nSize=100\r\nFile=a.txt\r\n}\r\n");
  backup.Read(node);
  ASSERT_EQ(backup.Units.size(), 2u);
  backup.OnConfirmSize = [](std::uint64_t) { return true; };
  backup.MakeBackup({File("a.txt", 20)});
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(ReadWholeFile(dir / "user/docs/thesis.txt"), "precious");
  EXPECT_EQ(ReadWholeFile(dir / "user/20050314_x_1/a.txt"), "kept too");
}
