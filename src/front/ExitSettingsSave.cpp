#include "front/ExitSettingsSave.h"

#include <algorithm>
#include <exception>
#include <set>
#include <string>
#include <utility>

#include "backup/BackupIndexStore.h"

namespace {

// Moves the units of known that units does not name to its end, in their order.
void AddUnknownUnits(TBackup::TUnitList& units, TBackup::TUnitList& known) {
  std::set<std::string> names;
  for (const auto& unit : units) {
    if (unit) names.insert(unit->Name);
  }
  for (auto& unit : known) {
    if (unit && names.insert(unit->Name).second) units.push_back(std::move(unit));
  }
}

}  // namespace

namespace hovrak {

void MergeKnownUnits(TBackup::TUnitList& units, TBackup::TUnitList& known) {
  AddUnknownUnits(units, known);
  std::stable_sort(
      units.begin(), units.end(),
      [](const std::unique_ptr<TBackupUnit>& a, const std::unique_ptr<TBackupUnit>& b) { return a->Time < b->Time; });
}

bool SaveSettingsKeepingUnits(TBackup& backup, TBackupIndexStore& index, const std::function<bool()>& save) {
  TBackup::TUnitList mine;
  mine.swap(backup.Units);
  bool saved = false;
  int error = 0;
  try {
    error = index.Update(backup, [&]() {
      MergeKnownUnits(backup.Units, mine);
      saved = save();
    });
  } catch (const std::exception&) {
    error = -1;
  }
  if (error == 0 || saved) return saved;
  // The file could not be read under the lock: write what this process knows, each
  // unit once even when part of the index was read before the fault.
  AddUnknownUnits(backup.Units, mine);
  return save();
}

}  // namespace hovrak
