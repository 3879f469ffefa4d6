#include "backup/BackupUnit.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "backup/Backup.h"
#include "backup/UnitMarker.h"
#include "pattern/BasicRegManager.h"
#include "platform/ConfinedDelete.h"
#include "platform/CopyFile.h"
#include "platform/FolderHandle.h"
#include "platform/PathOps.h"
#include "settings/KELNode.h"
#include "settings/KELString.h"

using hovrak::ReadPathValue;
using hovrak::ReadValue;
using hovrak::WritePathValue;
using hovrak::WriteValue;

namespace {

// Folders the store creates keep the copies as private as the settings folder.
constexpr unsigned kFolderMode = 0700;

// Characters a copy name or folder label may not carry: those Windows forbids in
// names (so the copies can be carried back there) and those the settings file
// cannot hold in a value (so the index always names the copy on disk). With
// slashToo the delimiter goes as well (a folder label is one name).
std::string ReplaceForbidden(const std::string& text, bool slashToo) {
  return hovrak::reg_manager().replace(text, slashToo ? "[\\\\;,:*?\"<>|\\n\\x1a/]" : "[\\\\;,:*?\"<>|\\n\\x1a]", "_",
                                       "g");
}

// Removes each pair of consecutive slashes, scanning from the left without overlap.
std::string RemoveSlashPairs(const std::string& text) { return hovrak::reg_manager().replace(text, "//", "", "g"); }

TStringVector SplitPath(const std::string& path) { return hovrak::TFolderHandle::Components(path); }

std::string WithSuffix(const std::string& name, int counter) { return name + "~" + std::to_string(counter); }

// Makes the copy name unique within the unit: no earlier copy has that name, and
// no folder on its way is an earlier copy's name or the other way round. The part
// that collides gets the smallest free suffix "~2", "~3", ...
std::string UniqueCopyName(const std::string& candidate, std::set<std::string>& files, std::set<std::string>& folders) {
  const TStringVector parts = SplitPath(candidate);
  std::string prefix;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    std::string folder = prefix + parts[i];
    for (int k = 2; files.count(folder) != 0; ++k) folder = WithSuffix(prefix + parts[i], k);
    folders.insert(folder);
    prefix = folder + "/";
  }
  std::string name = prefix + parts.back();
  for (int k = 2; files.count(name) != 0 || folders.count(name) != 0; ++k) {
    name = WithSuffix(prefix + parts.back(), k);
  }
  files.insert(name);
  return name;
}

// The last component of the base folder, or the whole base made into one name when
// it has none (the root, or no common folder).
std::string FolderLabel(const std::string& baseDir) {
  const std::size_t slash = baseDir.rfind('/');
  const std::string last = slash == std::string::npos ? baseDir : baseDir.substr(slash + 1);
  return ReplaceForbidden(last.empty() ? baseDir : last, true);
}

}  // namespace

TBackupUnit::TBackupUnit(const TBackup* owner)
    : Time(boost::gregorian::date(2000, 1, 1)), Restored(boost::posix_time::not_a_date_time), owner_(owner) {}

void TBackupUnit::Write(hovrak::TKELNode& node) const {
  WriteValue(node, "Time", Time);
  WriteValue(node, "Name", Name);
  WriteValue(node, "Size", Size);
  WritePathValue(node, "BaseDir", BaseDir);
  if (!Restored.is_special()) WriteValue(node, "Restored", Restored);
  for (const std::string& file : Files) node.AddValue("File", file);
  if (Sources.size() == Files.size()) {
    for (const std::string& source : Sources) WritePathValue(node, "Source", source);
    for (std::size_t k = 0; k < Files.size(); ++k) node.AddValue("Written", WrittenOf(k).Text());
    for (std::size_t k = 0; k < Files.size(); ++k) node.AddValue("WrittenHash", WrittenOf(k).HashText());
  }
  if (CopySums.size() == Files.size() && !Files.empty())
    for (const TCopySum& sum : CopySums) node.AddValue("CopySum", sum.Text());
}

void TBackupUnit::Read(hovrak::TKELNode& node) {
  ReadValue(node, "Time", Time);
  ReadValue(node, "Name", Name);
  ReadValue(node, "Size", Size);
  ReadPathValue(node, "BaseDir", BaseDir);
  Restored = boost::posix_time::not_a_date_time;
  ReadValue(node, "Restored", Restored);
  Files.clear();
  Sources.clear();
  Written.clear();
  CopySums.clear();
  std::string value;
  while (node.GetValue("File", value)) Files.push_back(value);
  bool sourcesRead = true;
  while (node.GetValue("Source", value)) {
    std::string source;
    sourcesRead = hovrak::ParsePathValue(value, source) && sourcesRead;
    Sources.push_back(source);
  }
  while (node.GetValue("Written", value)) Written.push_back(TWrittenState::Parse(value));
  std::vector<std::string> hashes;
  while (node.GetValue("WrittenHash", value)) hashes.push_back(value);
  while (node.GetValue("CopySum", value)) CopySums.push_back(TCopySum::Parse(value));
  // Lists out of step with the files cannot say which file they belong to.
  if (Sources.size() != Files.size() || !sourcesRead) Sources.clear();
  if (Written.size() != Files.size()) Written.clear();
  if (hashes.size() == Written.size())
    for (std::size_t k = 0; k < Written.size(); ++k) Written[k].ParseHash(hashes[k]);
  if (CopySums.size() != Files.size()) CopySums.clear();
}

void TBackupUnit::KeepEntries(const std::vector<std::size_t>& positions) {
  TStringVector files, sources;
  std::vector<TWrittenState> written;
  std::vector<TCopySum> sums;
  for (const std::size_t k : positions) {
    files.push_back(Files.at(k));
    if (k < Sources.size()) sources.push_back(Sources[k]);
    if (k < Written.size()) written.push_back(Written[k]);
    if (k < CopySums.size()) sums.push_back(CopySums[k]);
  }
  Files = std::move(files);
  Sources = sources.size() == Files.size() ? std::move(sources) : TStringVector();
  Written = written.size() == Files.size() ? std::move(written) : std::vector<TWrittenState>();
  CopySums = sums.size() == Files.size() ? std::move(sums) : std::vector<TCopySum>();
}

TWrittenState TBackupUnit::WrittenOf(std::size_t k) const {
  return k < Written.size() && Written.size() == Files.size() ? Written[k] : TWrittenState();
}

TCopySum TBackupUnit::CopySumOf(std::size_t k) const {
  return k < CopySums.size() && CopySums.size() == Files.size() ? CopySums[k] : TCopySum();
}

std::string TBackupUnit::WithoutCollisionSuffixes(const std::string& path) {
  std::string result;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = path.find('/', start);
    std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    const std::size_t tilde = part.rfind('~');
    if (tilde != std::string::npos && tilde > 0 && tilde + 1 < part.size() &&
        part.find_first_not_of("0123456789", tilde + 1) == std::string::npos)
      part.resize(tilde);
    result += part;
    if (slash == std::string::npos) return result;
    result += '/';
    start = slash + 1;
  }
}

std::string TBackupUnit::OriginalPath(std::size_t k) const {
  if (k >= Files.size() || !hovrak::IsConfinedRelativePath(Files[k])) return std::string();
  const std::string& entry = Files[k];
  if (Sources.size() == Files.size()) {
    const std::string& source = Sources[k];
    if (source.empty() || source.front() != '/' || source.find('\0') != std::string::npos) return std::string();
    const std::string base = BaseDir.empty() || BaseDir.back() == '/' ? BaseDir : BaseDir + "/";
    // Below the base folder by plain names only: a "." or ".." on the way could lead
    // anywhere while its copy name ("_", "__") looks harmless.
    if (source.compare(0, base.size(), base) != 0 || !hovrak::IsConfinedRelativePath(source.substr(base.size())))
      return std::string();
    if (WithoutCollisionSuffixes(BackupFileName(source)) != WithoutCollisionSuffixes(entry)) return std::string();
    return source;
  }
  if (BaseDir.empty() || BaseDir.front() != '/') return std::string();
  const std::string plain = WithoutCollisionSuffixes(entry);
  if (plain != entry) {
    for (std::size_t other = 0; other < Files.size(); ++other)
      if (other != k && WithoutCollisionSuffixes(Files[other]) == plain) return std::string();
  }
  return TBackup::JoinPath(BaseDir, plain);
}

int TBackupUnit::Prepare(const TStringVector& files, TUnitMarker& marker) {
  Time = owner_->Now();
  BaseDir = TBackup::CommonBaseDir(files);
  Size = 0;
  Files.clear();
  Sources = files;
  Written.assign(files.size(), TWrittenState());
  CopySums.assign(files.size(), TCopySum());
  Restored = boost::posix_time::not_a_date_time;
  // The mark's name is taken: a file of that name gets a suffix like any collision.
  std::set<std::string> copyNames{TUnitMarker::FileName};
  std::set<std::string> copyFolders;
  for (const std::string& file : files) Files.push_back(UniqueCopyName(BackupFileName(file), copyNames, copyFolders));

  const std::string label = FolderLabel(BaseDir);
  if (files.empty()) {
    Name = ChooseName(label, 1);
    return 0;
  }
  // The folder is taken by creating it, so that two runs at once never share one.
  const std::string dir = owner_->Folder();
  if (const int err = hovrak::CreateFoldersReporting(dir, kFolderMode)) return err;
  for (unsigned counter = 1;; ++counter) {
    Name = ChooseName(label, counter);
    counter = static_cast<unsigned>(std::stoul(Name.substr(Name.rfind('_') + 1)));
    if (::mkdir(Folder().c_str(), kFolderMode) == 0) {
      if (const int err = marker.Create(dir, Name)) {
        ::rmdir(Folder().c_str());
        return err;
      }
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
}

int TBackupUnit::CopyEntry(std::size_t k, const std::string& source, std::uint64_t& size,
                           const std::function<void()>& progress, TCopySum& sum, hovrak::TSaveGroup* group) const {
  const std::string target = TBackup::JoinPath(Folder(), Files.at(k));
  if (const int err = hovrak::CreateFoldersReporting(hovrak::FolderOf(target), kFolderMode)) return err;
  hovrak::TCopiedFile copied;
  if (const int err = hovrak::CopyFileReporting(source, target, progress, &copied, group)) return err;
  size += copied.Size;
  sum.Size = static_cast<std::int64_t>(copied.Size);
  sum.Hash = copied.Hash;
  return 0;
}

std::vector<std::size_t> TBackupUnit::PresentCopies(const std::vector<std::size_t>& entries) const {
  std::vector<std::size_t> present;
  // The unit folder is opened once; copies in subfolders are looked for below it.
  hovrak::TFolderHandle unit;
  if (!hovrak::IsPlainName(Name) || unit.OpenBelow(owner_->Folder(), Name) != 0) return present;
  for (const std::size_t k : entries) {
    if (k >= Files.size() || !hovrak::IsConfinedRelativePath(Files[k])) continue;
    const std::string& entry = Files[k];
    const std::size_t slash = entry.rfind('/');
    hovrak::TFolderHandle below;
    const hovrak::TFolderHandle* folder = &unit;
    if (slash != std::string::npos) {
      if (below.OpenBelow(unit.Path(), entry.substr(0, slash)) != 0) continue;
      folder = &below;
    }
    struct stat st;
    if (folder->Stat(entry.substr(slash == std::string::npos ? 0 : slash + 1), st) == 0 && S_ISREG(st.st_mode))
      present.push_back(k);
  }
  return present;
}

void TBackupUnit::Create(const TStringVector& files) {
  TUnitMarker marker;
  if (Prepare(files, marker) != 0) {
    KeepEntries({});
    return;
  }
  std::vector<std::size_t> made;
  std::uint64_t total = 0;
  for (std::size_t k = 0; k < files.size(); ++k)
    if (CopyEntry(k, files[k], total, {}, CopySums[k]) == 0) made.push_back(k);
  KeepEntries(made);
  Size = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, std::numeric_limits<std::uint32_t>::max()));
}

std::string TBackupUnit::ChooseName(const std::string& label, unsigned first) const {
  const boost::gregorian::date day = Time.date();
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", static_cast<int>(day.year()), static_cast<int>(day.month()),
                static_cast<int>(day.day()));
  const std::string stem = std::string(date) + "_" + label + "_";
  const std::string dir = owner_->Folder();
  for (unsigned counter = first;; ++counter) {
    const std::string name = stem + std::to_string(counter);
    if (hovrak::PathExists(TBackup::JoinPath(dir, name))) continue;
    // A unit of the index whose folder is gone must not share its name with the
    // new one: deleting the old unit later would delete the new unit's copies.
    bool listed = false;
    for (const auto& unit : owner_->Units) listed = listed || (unit.get() != this && unit->Name == name);
    if (!listed) return name;
  }
}

std::string TBackupUnit::BackupFileName(const std::string& path) const {
  const std::string relative = RemoveSlashPairs(ReplaceForbidden(TBackup::RelativeTo(path, BaseDir), false));
  std::string name;
  for (const std::string& part : SplitPath(relative)) {
    if (!name.empty()) name += '/';
    name += part == "." ? "_" : part == ".." ? "__" : part;
  }
  return name.empty() ? "_" : name;
}

std::string TBackupUnit::Folder() const { return TBackup::JoinPath(owner_->Folder(), Name); }

bool TBackupUnit::IsConfined() const {
  if (!hovrak::IsPlainName(Name)) return false;
  for (const std::string& file : Files) {
    if (!hovrak::IsConfinedRelativePath(file)) return false;
  }
  return true;
}

void TBackupUnit::DeleteFiles(TUnitMarker& marker) const {
  if (!IsConfined() || !marker.Held()) return;
  // The unit's folder is walked from the backup folder too, so that a symbolic
  // link put in its place is not followed.
  const std::string root = owner_->Folder();
  for (const std::string& file : Files) hovrak::DeleteFileBelow(root, Name + "/" + file);
  marker.Remove();
  marker.Release();
  hovrak::RemoveEmptyTreeBelow(root, Name);
}
