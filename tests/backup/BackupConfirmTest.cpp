// Young backup units go when the user agrees to their deletion, or when no
// question is installed to ask.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "backup/Backup.h"

namespace pt = boost::posix_time;

namespace {

class TFixedClockBackup : public TBackup {
 public:
  pt::ptime Clock = pt::time_from_string("2005-03-14 13:45:07");
  pt::ptime Now() const override { return Clock; }
};

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Units of 400, 400 and 100 bytes, two weeks, one day and one hour old, then one of
// 900 bytes that puts all three over a limit of 1000; a week is the deletable age.
// Returns the folders of the three older units.
std::vector<std::string> FillAndOverflow(TFixedClockBackup& backup, const TTempDir& dir) {
  backup.BackupDir = dir / "Backup";
  backup.MaxSize = 1000;
  backup.DeletableTime = pt::hours(24 * 7);
  const pt::ptime now = backup.Clock + pt::hours(24 * 30);
  const pt::time_duration ages[] = {pt::hours(24 * 14), pt::hours(24), pt::hours(1)};
  std::vector<std::string> folders;
  int i = 0;
  for (const pt::time_duration& age : ages) {
    backup.Clock = now - age;
    const std::string file = dir / ("src/" + std::to_string(i++) + ".txt");
    WriteWholeFile(file, std::string(i == 3 ? 100 : 400, 'x'));
    backup.MakeBackup({file});
    folders.push_back(backup.Units.back()->Folder());
  }
  EXPECT_EQ(backup.Units.size(), 3u);
  backup.Clock = now;
  WriteWholeFile(dir / "src/big.txt", std::string(900, 'y'));
  backup.MakeBackup({dir / "src/big.txt"});
  return folders;
}

}  // namespace

TEST(BackupConfirm, YoungUnitsGoWhenTheUserAgrees) {
  TTempDir dir;
  TFixedClockBackup backup;
  std::vector<std::size_t> asked;
  backup.OnConfirmDelete = [&asked](const TBackup::TUnitPointers& units) {
    asked.push_back(units.size());
    return true;
  };
  const std::vector<std::string> folders = FillAndOverflow(backup, dir);
  EXPECT_EQ(asked, std::vector<std::size_t>{2});  // the two young ones, once
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Size, 900u);
  for (const std::string& folder : folders) EXPECT_FALSE(Exists(folder)) << folder;
  EXPECT_TRUE(Exists(backup.Units[0]->Folder()));
}

TEST(BackupConfirm, YoungUnitsGoWhenNoQuestionIsInstalled) {
  TTempDir dir;
  TFixedClockBackup backup;
  const std::vector<std::string> folders = FillAndOverflow(backup, dir);
  ASSERT_EQ(backup.Units.size(), 1u);
  EXPECT_EQ(backup.Units[0]->Size, 900u);
  for (const std::string& folder : folders) EXPECT_FALSE(Exists(folder)) << folder;
}
