#pragma once
// The backup store: copies the files a replace run is about to change into a new
// backup unit, then deletes the oldest units until all of them together are below
// a size limit, asking before it deletes units younger than a given age. Its
// settings and index of units are the "Backup" block of the settings file.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/function.hpp>

#include "backup/BackupIndexStore.h"
#include "backup/BackupReport.h"
#include "backup/BackupUnit.h"
#include "backup/WrittenState.h"
#include "settings/KELObject.h"
#include "shared/StringVector.h"

class TBackup : public hovrak::TKELObject {
 public:
  using TUnitList = std::vector<std::unique_ptr<TBackupUnit>>;
  using TUnitPointers = std::vector<const TBackupUnit*>;

  // Room for the undo history of many replaces; a settings file without these keys
  // gets them.
  static constexpr std::uint32_t kDefaultMaxSize = 1024u * 1048576u;
  static constexpr int kDefaultDeletableDays = 7;

  // Folder that holds the units; empty stands for the default folder.
  std::string BackupDir;
  // Limit of all units together, in bytes.
  std::uint32_t MaxSize = kDefaultMaxSize;
  // Units younger than this are deleted only when the user agrees.
  boost::posix_time::time_duration DeletableTime = boost::posix_time::hours(24 * kDefaultDeletableDays);
  // The index, oldest unit first.
  TUnitList Units;

  // Asks whether the listed young units (oldest first) may be deleted.
  boost::function<bool(const TUnitPointers&)> OnConfirmDelete;
  // Asks whether to back up files that alone total this many bytes, at least
  // MaxSize. Without it such a backup is not made.
  boost::function<bool(std::uint64_t)> OnConfirmSize;
  // Reports the file about to be copied (index of count), and again during a long
  // copy; may throw to stop the backup, which keeps and indexes the copies made.
  boost::function<void(const std::string& path, int index, int count)> OnProgress;

  // BackupDir starts as the default backup folder beside the settings file.
  TBackup();
  TBackup(const TBackup&) = delete;
  TBackup& operator=(const TBackup&) = delete;

  // Backs up the distinct files a replace run is about to change, then prunes. Paths
  // are taken as absolute (relative ones from the current folder). The unit enters
  // the index before the first copy (listing the copies to come) and again with the
  // copies that exist once they are made, so a killed run leaves nothing pruning
  // cannot reach; while it is being made its mark is held, so no pruning takes it.
  // Copies that fail, or are gone by the end, are reported, never listed.
  TBackupReport MakeBackup(const TStringVector& files);
  // Deletes the copies of the named unit and drops it from the index: the backup of
  // a replace that did not go on. A unit without its mark only leaves the index.
  int DiscardUnit(const std::string& name);

  // Records in the named unit the state each of its files had right after a run
  // wrote it, by the full path the copy was made from. Returns 0 or the index's
  // errno value.
  int RecordWritten(const std::string& name, const std::map<std::string, TWrittenState>& states);
  // Marks the named unit as restored at the given local time.
  int MarkRestored(const std::string& name, const boost::posix_time::ptime& when);
  // The unit of that name in the index as last read, or null.
  const TBackupUnit* FindUnit(const std::string& name) const;
  // The units a prune would delete, oldest first, after a new unit of newSize bytes
  // joined the units listed now: the oldest go one by one until the rest, the new
  // one included, total less than MaxSize; units being restored are passed over.
  // Young ones among them go only when the user agrees.
  TUnitPointers UnitsToPrune(std::uint64_t newSize) const;

  // Names of units that pruning passes over (the unit a restore reads from).
  std::set<std::string> KeptUnits;

  // Where the index is kept while runs go on (not owned); null: only in memory,
  // written with the other settings by the front end.
  TBackupIndexStore* IndexStore = nullptr;

  // "Dir", "MaxSize", "DeletableTime", then one "Unit" block per unit.
  void Write(hovrak::TKELNode& node) const override;
  // The same keys in the same order. The unit list is replaced by the "Unit"
  // blocks; a unit whose name or file list could reach outside its folder is
  // dropped without deleting anything.
  void Read(hovrak::TKELNode& node) override;
  // The unit list alone, replaced by the "Unit" blocks of node (a Backup block), with
  // the same confinement rule as Read.
  void ReadUnits(hovrak::TKELNode& node);

  // The folder the units are in: BackupDir, or the default folder when it is empty.
  std::string Folder() const;

  // The current local date and time to the second. Tests replace it.
  virtual boost::posix_time::ptime Now() const;

  // Longest common folder of the paths, by bytes: "/w/src" for "/w/src/a1.txt"
  // and "/w/src/a2.txt", "/" for "/a1.txt" and "/a2.txt", empty for "/a.txt" and
  // "/b.txt" or for no paths.
  static std::string CommonBaseDir(const TStringVector& paths);
  // The path with base and one '/' cut off its front (not compared); unchanged
  // when base is empty or the path is shorter.
  static std::string RelativeTo(const std::string& path, const std::string& base);
  // The two parts with one '/' between them unless the left one ends in '/'.
  static std::string JoinPath(const std::string& left, const std::string& right);
  // A byte count for people: "500バイト", "1.50KB", "146KB", "3.00MB".
  static std::string SizeText(std::uint64_t bytes);

 private:
  // Deletes what UnitsToPrune names for the newest unit, passing over units another
  // run is making or restoring; returns what left the index. Only units whose folder
  // holds their mark lose their copies, and only the listed ones; a unit without the
  // mark leaves the index with its files untouched.
  std::vector<TPrunedUnit> Prune();
  // UnitsToPrune over the first older units of the index; passOver (may be empty)
  // names units that must stay whatever their size and age.
  TUnitPointers UnitsToPrune(std::size_t older, std::uint64_t newSize,
                             const std::function<bool(const TBackupUnit&)>& passOver = {}) const;
  // Copies files into the entries of the planned unit in groups made durable
  // together (hovrak::TSaveGroup): made receives the entries copied, in order, sums
  // and size their sums and bytes, report the copies that failed. A stop raised by
  // OnProgress passes on once the copies written whole are in place.
  void CopyInGroups(const TBackupUnit& planned, const TStringVector& files, std::vector<std::size_t>& made,
                    std::vector<TCopySum>& sums, std::uint64_t& size, TBackupReport& report);
  // Runs change on the index: through IndexStore when there is one, else in memory.
  int UpdateIndex(const std::function<void()>& change);
  // Puts unit into Units in place of the one of its name, or at the end.
  void StoreUnit(const TBackupUnit& unit);
  bool IsKept(const TBackupUnit& unit) const;
  bool IsYoung(const TBackupUnit& unit, const boost::posix_time::ptime& now) const;
};
