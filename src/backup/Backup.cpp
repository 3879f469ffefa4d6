#include "backup/Backup.h"

#include <algorithm>
#include <cerrno>
#include <iomanip>
#include <limits>
#include <locale>
#include <map>
#include <sstream>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "backup/UnitMarker.h"
#include "platform/ConfinedDelete.h"
#include "platform/PathOps.h"
#include "platform/SaveGroup.h"
#include "platform/SettingsFolder.h"
#include "settings/KELNode.h"
#include "settings/KELString.h"

using hovrak::ReadValue;
using hovrak::WriteValue;
namespace pt = boost::posix_time;

TBackup::TBackup() : BackupDir(hovrak::DefaultBackupFolder()) {}

TBackupReport TBackup::MakeBackup(const TStringVector& given) {
  TBackupReport report;
  TStringVector files;
  files.reserve(given.size());
  for (const std::string& file : given) files.push_back(hovrak::AbsolutePath(file));

  // Summed in 64 bits: files of 4 GiB and more must not wrap below the limit.
  std::uint64_t total = 0;
  for (const std::string& file : files) {
    std::uint64_t size = 0;
    if (hovrak::FileSizeOnDisk(file, size)) total += size;
  }
  if (total >= MaxSize && (!OnConfirmSize || !OnConfirmSize(total))) {
    report.Declined = true;
    return report;
  }

  // The unit enters the index before anything is copied, listing the copies to come.
  // Its mark is held until the copies are made and indexed: no pruning, by this run
  // or another, takes a unit that is still being made.
  TBackupUnit unit(this);
  TUnitMarker making;
  int folderError = 0;
  report.IndexError = UpdateIndex([&] {
    folderError = unit.Prepare(files, making);
    if (!folderError) StoreUnit(unit);
  });
  if (folderError) {
    // No folder for the unit (the backup folder cannot be made or written): no copy.
    for (const std::string& file : files) report.Failures.push_back({file, folderError});
    return report;
  }
  if (report.IndexError) {
    // A unit the index does not list could never be pruned: none is made.
    for (auto it = Units.begin(); it != Units.end(); ++it) {
      if ((*it)->Name == unit.Name) {
        Units.erase(it);
        break;
      }
    }
    if (!files.empty()) {
      making.Remove();
      making.Release();
      hovrak::RemoveEmptyTreeBelow(Folder(), unit.Name);
    }
    return report;
  }
  report.UnitName = unit.Name;

  // Then the copies; the unit is indexed again with those that exist, also when a
  // stop ends the copying early.
  const TBackupUnit planned = unit;
  std::vector<std::size_t> made;
  std::vector<TCopySum> sums(files.size());
  std::uint64_t size = 0;
  const auto finish = [&] {
    unit = planned;
    unit.CopySums = sums;
    // Only copies that are there now: one gone meanwhile (taken by hand, or by a
    // version that did not know the mark) is no backup.
    const std::vector<std::size_t> present = planned.PresentCopies(made);
    for (std::size_t i = 0, p = 0; i < made.size(); ++i) {
      if (p < present.size() && present[p] == made[i]) ++p;
      else report.Failures.push_back({files[made[i]], ENOENT});
    }
    unit.KeepEntries(present);
    unit.Size = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, std::numeric_limits<std::uint32_t>::max()));
    return UpdateIndex([&] {
      StoreUnit(unit);
      report.Pruned = Prune();
    });
  };
  try {
    CopyInGroups(planned, files, made, sums, size, report);
  } catch (...) {
    finish();
    throw;
  }
  report.IndexError = finish();
  return report;
}

void TBackup::CopyInGroups(const TBackupUnit& planned, const TStringVector& files, std::vector<std::size_t>& made,
                           std::vector<TCopySum>& sums, std::uint64_t& size, TBackupReport& report) {
  // The copies are made in groups, each flushed together before its names appear;
  // all of them are on disk before the index lists them and before any file changes.
  const int count = static_cast<int>(files.size());
  hovrak::TSaveGroup group;
  std::vector<std::size_t> staged;
  const auto commit = [&] {
    const std::vector<hovrak::TSaveGroup::TResult> results = group.Commit();
    for (std::size_t j = 0; j < staged.size() && j < results.size(); ++j) {
      const std::size_t k = staged[j];
      if (results[j].Error == 0) {
        made.push_back(k);
        continue;
      }
      report.Failures.push_back({files[k], results[j].Error});
      size -= static_cast<std::uint64_t>(sums[k].Size);
      sums[k] = TCopySum();
    }
    staged.clear();
  };
  try {
    for (int k = 0; k < count; ++k) {
      const std::size_t at = static_cast<std::size_t>(k);
      const std::string& file = files[at];
      const auto progress = [&] {
        if (OnProgress) OnProgress(file, k, count);
      };
      progress();
      if (const int err = planned.CopyEntry(at, file, size, progress, sums[at], &group))
        report.Failures.push_back({file, err});
      else staged.push_back(at);
      if (group.Full()) commit();
    }
    commit();
  } catch (...) {
    // The copies written whole so far are kept: a stop loses no finished work.
    commit();
    throw;
  }
}

int TBackup::DiscardUnit(const std::string& name) {
  return UpdateIndex([&] {
    for (auto it = Units.begin(); it != Units.end(); ++it) {
      if ((*it)->Name != name) continue;
      // Only a unit that proves itself Mirun's, and that no other run uses, loses its
      // copies; any other leaves the index alone.
      TUnitMarker marker;
      if (marker.TryAlone(Folder(), name) == TUnitMarker::TState::InUse) return;
      (*it)->DeleteFiles(marker);
      Units.erase(it);
      return;
    }
  });
}

int TBackup::RecordWritten(const std::string& name, const std::map<std::string, TWrittenState>& states) {
  if (states.empty()) return 0;
  return UpdateIndex([&] {
    for (auto& unit : Units) {
      if (unit->Name != name || unit->Sources.size() != unit->Files.size()) continue;
      unit->Written.resize(unit->Files.size());
      for (std::size_t k = 0; k < unit->Sources.size(); ++k) {
        const auto it = states.find(unit->Sources[k]);
        if (it != states.end()) unit->Written[k] = it->second;
      }
    }
  });
}

int TBackup::MarkRestored(const std::string& name, const pt::ptime& when) {
  return UpdateIndex([&] {
    for (auto& unit : Units)
      if (unit->Name == name) unit->Restored = when;
  });
}

const TBackupUnit* TBackup::FindUnit(const std::string& name) const {
  for (const auto& unit : Units)
    if (unit->Name == name) return unit.get();
  return nullptr;
}

int TBackup::UpdateIndex(const std::function<void()>& change) {
  if (IndexStore) return IndexStore->Update(*this, change);
  change();
  return 0;
}

void TBackup::StoreUnit(const TBackupUnit& unit) {
  for (auto& listed : Units) {
    if (listed->Name == unit.Name) {
      *listed = unit;
      return;
    }
  }
  Units.push_back(std::make_unique<TBackupUnit>(unit));
}

bool TBackup::IsKept(const TBackupUnit& unit) const { return KeptUnits.count(unit.Name) != 0; }

bool TBackup::IsYoung(const TBackupUnit& unit, const pt::ptime& now) const {
  if (unit.Time.is_special() || now.is_special()) return false;
  return now - unit.Time < DeletableTime;
}

TBackup::TUnitPointers TBackup::UnitsToPrune(std::uint64_t newSize) const {
  return UnitsToPrune(Units.size(), newSize);
}

TBackup::TUnitPointers TBackup::UnitsToPrune(std::size_t older, std::uint64_t newSize,
                                             const std::function<bool(const TBackupUnit&)>& passOver) const {
  older = std::min(older, Units.size());
  std::uint64_t total = newSize;
  for (std::size_t i = 0; i < older; ++i) total += Units[i]->Size;
  TUnitPointers doomed;
  for (std::size_t i = 0; i < older && total >= MaxSize; ++i) {
    const TBackupUnit& unit = *Units[i];
    if (IsKept(unit) || (passOver && passOver(unit))) continue;
    total -= unit.Size;
    doomed.push_back(&unit);
  }
  return doomed;
}

std::vector<TPrunedUnit> TBackup::Prune() {
  std::vector<TPrunedUnit> pruned;
  if (Units.empty()) return pruned;
  const pt::ptime now = Now();

  // The oldest units go until the rest fit; the newest one always stays, and so do
  // units that are being restored and units another run is making or restoring
  // right now (their mark is held: it cannot be taken alone).
  std::map<const TBackupUnit*, std::unique_ptr<TUnitMarker>> markers;
  const auto inUse = [this, &markers](const TBackupUnit& unit) {
    auto marker = std::make_unique<TUnitMarker>();
    if (marker->TryAlone(Folder(), unit.Name) == TUnitMarker::TState::InUse) return true;
    markers[&unit] = std::move(marker);
    return false;
  };
  const TUnitPointers doomed = UnitsToPrune(Units.size() - 1, Units.back()->Size, inUse);
  TUnitPointers young;
  for (const TBackupUnit* unit : doomed)
    if (IsYoung(*unit, now)) young.push_back(unit);
  bool agreed = true;
  if (!young.empty() && OnConfirmDelete) agreed = OnConfirmDelete(young);

  // A unit whose folder does not prove itself Mirun's leaves the index with its
  // files untouched: deleting through an index from elsewhere could take anyone's.
  std::vector<bool> gone(Units.size(), false);
  std::size_t next = 0;  // the next of doomed, in index order like Units
  for (std::size_t i = 0; i < Units.size() && next < doomed.size(); ++i) {
    TBackupUnit& unit = *Units[i];
    if (doomed[next] != &unit) continue;
    ++next;
    if (!agreed && IsYoung(unit, now)) continue;
    unit.DeleteFiles(*markers[&unit]);
    gone[i] = true;
    pruned.push_back(TPrunedUnit{unit.Name, unit.Time, unit.BaseDir});
  }
  TUnitList kept;
  for (std::size_t i = 0; i < Units.size(); ++i)
    if (!gone[i]) kept.push_back(std::move(Units[i]));
  Units = std::move(kept);
  return pruned;
}

void TBackup::Write(hovrak::TKELNode& node) const {
  hovrak::WritePathValue(node, "Dir", BackupDir);
  WriteValue(node, "MaxSize", MaxSize);
  WriteValue(node, "DeletableTime", DeletableTime);
  for (const auto& unit : Units) node.WriteChild("Unit", *unit);
}

void TBackup::Read(hovrak::TKELNode& node) {
  hovrak::ReadPathValue(node, "Dir", BackupDir);
  ReadValue(node, "MaxSize", MaxSize);
  ReadValue(node, "DeletableTime", DeletableTime);
  ReadUnits(node);
}

void TBackup::ReadUnits(hovrak::TKELNode& node) {
  Units.clear();
  while (node.CountChildren("Unit") > 0) {
    auto unit = std::make_unique<TBackupUnit>(this);
    node.ReadChild("Unit", *unit);
    // An entry that could lead outside the backup folder is forgotten, and with it
    // any chance of deleting through it.
    if (unit->IsConfined()) Units.push_back(std::move(unit));
  }
}

std::string TBackup::Folder() const { return BackupDir.empty() ? hovrak::DefaultBackupFolder() : BackupDir; }

pt::ptime TBackup::Now() const { return pt::second_clock::local_time(); }

std::string TBackup::CommonBaseDir(const TStringVector& paths) {
  if (paths.empty()) return std::string();
  std::string prefix = paths.front();
  for (const std::string& path : paths) {
    std::size_t n = 0;
    while (n < prefix.size() && n < path.size() && prefix[n] == path[n]) ++n;
    prefix.resize(n);
  }
  if (!prefix.empty() && prefix.back() == '/') return prefix.substr(0, prefix.size() - 1);
  const std::size_t slash = prefix.rfind('/');
  if (slash == std::string::npos) return std::string();
  // Keep the slash of the root ("/") and of a leading "//".
  if (slash == 0 || prefix[slash - 1] == '/') return prefix.substr(0, slash + 1);
  return prefix.substr(0, slash);
}

std::string TBackup::RelativeTo(const std::string& path, const std::string& base) {
  if (base.empty()) return path;
  const std::size_t length = base.size() + (base.back() == '/' ? 0 : 1);
  return path.size() < length ? path : path.substr(length);
}

std::string TBackup::JoinPath(const std::string& left, const std::string& right) {
  if (left.empty() || left.back() == '/') return left + right;
  return left + "/" + right;
}

std::string TBackup::SizeText(std::uint64_t bytes) {
  static const char* const kUnits[] = {"バイト", "KB", "MB", "GB", "TB"};
  double x = static_cast<double>(bytes);
  int unit = 0;
  while (x >= 1024 && unit < 4) {
    x /= 1024;
    ++unit;
  }
  std::ostringstream os;
  os.imbue(std::locale::classic());
  if (unit == 0 || x >= 100) {
    os << static_cast<std::uint64_t>(x);
  } else {
    // Three significant digits; rounding may carry into one more integer digit.
    int decimals = x < 10 ? 2 : 1;
    std::ostringstream probe;
    probe.imbue(std::locale::classic());
    probe << std::fixed << std::setprecision(decimals) << x;
    const std::size_t integerDigits = probe.str().find('.');
    if (integerDigits != std::string::npos && static_cast<int>(integerDigits) + decimals > 3) --decimals;
    os << std::fixed << std::setprecision(decimals) << x;
  }
  return os.str() + kUnits[unit];
}
