#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "TestSupport.h"
#include "backup/SettingsBackupIndex.h"
#include "front/ExitSettingsSave.h"

namespace {

namespace pt = boost::posix_time;

void AddUnit(TBackup& backup, TBackup::TUnitList& list, const std::string& name, int minute,
             const std::string& base = "/w") {
  auto unit = std::make_unique<TBackupUnit>(&backup);
  unit->Name = name;
  unit->BaseDir = base;
  unit->Time = pt::ptime(boost::gregorian::date(2026, 12, 9), pt::minutes(minute));
  list.push_back(std::move(unit));
}

std::vector<std::string> Names(const TBackup::TUnitList& list) {
  std::vector<std::string> names;
  for (const auto& unit : list) names.push_back(unit ? unit->Name : "(moved)");
  return names;
}

// The index as another process reads it now.
std::vector<std::string> StoredNames(const std::string& path) {
  TBackup reader;
  TSettingsBackupIndex(path).Update(reader, [] {});
  return Names(reader.Units);
}

}  // namespace

TEST(ExitSettingsSaveTest, MergeOrdersByTimeAndKeepsTheListedCopyOfAUnitBothName) {
  TBackup backup;
  TBackup::TUnitList units, known;
  AddUnit(backup, units, "c", 30);
  AddUnit(backup, units, "a", 10, "/on-disk");
  AddUnit(backup, known, "a", 10, "/known");
  AddUnit(backup, known, "b", 20);
  AddUnit(backup, known, "b2", 20);  // same minute as b: stays after it
  hovrak::MergeKnownUnits(units, known);
  EXPECT_EQ(Names(units), (std::vector<std::string>{"a", "b", "b2", "c"}));
  EXPECT_EQ(units.front()->BaseDir, "/on-disk");
  // The duplicate is not dropped silently: it stays with the caller.
  EXPECT_EQ(Names(known), (std::vector<std::string>{"a", "(moved)", "(moved)"}));
}

TEST(ExitSettingsSaveTest, UnitsAnotherProcessEnteredMeanwhileAreKept) {
  TTempDir home;
  const std::string path = home / "Mirun.kel";
  TSettingsBackupIndex index(path);
  // Another process enters two units, one of which this process knows too.
  TBackup other;
  ASSERT_EQ(index.Update(other,
                         [&] {
                           AddUnit(other, other.Units, "a", 10);
                           AddUnit(other, other.Units, "cli", 40);
                         }),
            0);
  TBackup backup;
  AddUnit(backup, backup.Units, "a", 10);
  AddUnit(backup, backup.Units, "b", 20);
  int saves = 0;
  std::vector<std::string> seenBySave;
  EXPECT_TRUE(hovrak::SaveSettingsKeepingUnits(backup, index, [&] {
    ++saves;
    seenBySave = Names(backup.Units);
    return true;
  }));
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(seenBySave, (std::vector<std::string>{"a", "b", "cli"}));
  EXPECT_EQ(Names(backup.Units), seenBySave);
  EXPECT_EQ(StoredNames(path), seenBySave);
}

TEST(ExitSettingsSaveTest, AnIndexThatCannotBeLockedStillSavesWhatThisProcessKnows) {
  TTempDir home;
  // The lock file cannot be made in a folder that does not exist.
  TSettingsBackupIndex index(home / "missing/Mirun.kel");
  TBackup backup;
  AddUnit(backup, backup.Units, "b", 20);
  AddUnit(backup, backup.Units, "a", 10);
  int saves = 0;
  EXPECT_FALSE(hovrak::SaveSettingsKeepingUnits(backup, index, [&] {
    ++saves;
    return false;
  }));
  EXPECT_EQ(saves, 1);
  // Kept as they were, in their order.
  EXPECT_EQ(Names(backup.Units), (std::vector<std::string>{"b", "a"}));
}
