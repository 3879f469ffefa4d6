#include "backup/Backup.h"

#include <iomanip>
#include <locale>
#include <sstream>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "platform/PathOps.h"
#include "platform/SettingsFolder.h"
#include "settings/KELNode.h"
#include "settings/KELString.h"

using hovrak::ReadValue;
using hovrak::WriteValue;
namespace pt = boost::posix_time;

TBackup::TBackup() : BackupDir(hovrak::DefaultBackupFolder()) {}

void TBackup::MakeBackup(const TStringVector& files) {
  // Summed in 64 bits: files of 4 GiB and more must not wrap below the limit.
  std::uint64_t total = 0;
  for (const std::string& file : files) {
    std::uint64_t size = 0;
    if (hovrak::FileSizeOnDisk(file, size)) total += size;
  }
  if (total >= MaxSize && (!OnConfirmSize || !OnConfirmSize(total))) return;
  Units.push_back(std::make_unique<TBackupUnit>(this));
  Units.back()->Create(files);
  Prune();
}

bool TBackup::IsYoung(const TBackupUnit& unit, const pt::ptime& now) const {
  if (unit.Time.is_special() || now.is_special()) return false;
  return now - unit.Time < DeletableTime;
}

void TBackup::Prune() {
  std::uint64_t total = 0;
  for (const auto& unit : Units) total += unit->Size;
  const pt::ptime now = Now();

  // The oldest units go until the rest fit; the newest one always stays.
  std::size_t doomed = 0;
  TUnitPointers young;
  while (doomed + 1 < Units.size() && total >= MaxSize) {
    const TBackupUnit& unit = *Units[doomed];
    total -= unit.Size;
    if (IsYoung(unit, now)) young.push_back(&unit);
    ++doomed;
  }
  bool agreed = true;
  if (!young.empty() && OnConfirmDelete) agreed = OnConfirmDelete(young);

  TUnitList kept;
  for (std::size_t i = 0; i < Units.size(); ++i) {
    if (i < doomed && (agreed || !IsYoung(*Units[i], now))) {
      Units[i]->DeleteFiles();
    } else {
      kept.push_back(std::move(Units[i]));
    }
  }
  Units = std::move(kept);
}

void TBackup::Write(hovrak::TKELNode& node) const {
  WriteValue(node, "Dir", BackupDir);
  WriteValue(node, "MaxSize", MaxSize);
  WriteValue(node, "DeletableTime", DeletableTime);
  for (const auto& unit : Units) node.WriteChild("Unit", *unit);
}

void TBackup::Read(hovrak::TKELNode& node) {
  ReadValue(node, "Dir", BackupDir);
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
