#pragma once
// One backup made by one replace run: a dated folder inside the backup folder with
// plain copies of the files the run was about to change, and its entry in the
// backup index of the settings file.

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include <boost/date_time/posix_time/ptime.hpp>

#include <vector>

#include "backup/CopySum.h"
#include "backup/WrittenState.h"
#include "settings/KELObject.h"
#include "shared/StringVector.h"

namespace hovrak {
class TSaveGroup;
}

class TBackup;
class TUnitMarker;

class TBackupUnit : public hovrak::TKELObject {
 public:
  // Local date and time when the unit was made, whole seconds.
  boost::posix_time::ptime Time;
  // The unit's folder inside the backup folder.
  std::string Name;
  // Bytes taken by the copies; saturates at the largest 32-bit value.
  std::uint32_t Size = 0;
  // Common folder of the backed-up files.
  std::string BaseDir;
  // Each copy's name relative to the unit's folder.
  TStringVector Files;
  // The full path each copy was made from, in step with Files. Units made before
  // it was kept have none; their files are found from BaseDir and the copy name.
  TStringVector Sources;
  // The state each file had right after the replace wrote it, in step with Files;
  // not known for a file the run did not write (or units made before it was kept).
  std::vector<TWrittenState> Written;
  // The size and hash of each copy as it was made, in step with Files; none in
  // units made before they were kept.
  std::vector<TCopySum> CopySums;
  // When the unit's copies were last put back; not_a_date_time when never.
  boost::posix_time::ptime Restored;

  explicit TBackupUnit(const TBackup* owner);

  const TBackup* Owner() const { return owner_; }

  // "Time", "Name", "Size", "BaseDir", "Restored" (only when set), one "File" per
  // entry, then, when kept, one "Source", one "Written" and one "WrittenHash" per
  // entry in the same order (empty where not known), and one "CopySum" per entry.
  // BaseDir and the sources are path values (a name with a line feed is kept
  // escaped, hovrak::PathValueText).
  void Write(hovrak::TKELNode& node) const override;
  // The same keys; Files is replaced by the "File" values found. Sources, Written
  // and CopySums are kept only when they are as many as the files (older units have
  // none of them).
  void Read(hovrak::TKELNode& node) override;

  TBackupUnit(const TBackupUnit&) = default;
  TBackupUnit& operator=(const TBackupUnit&) = default;

  // Fills a new unit: time, base folder and a free folder name, which it takes by
  // creating the folder (none for no files) with the unit's mark in it, held by
  // marker while the unit is made, and the copy names to come in Files. Returns 0 or
  // the errno value of a failure to create the folder.
  int Prepare(const TStringVector& files, TUnitMarker& marker);
  // Copies source to the unit's entry k, creating folders as needed; adds the copy's
  // size to size and sets its sum. Returns 0 or an errno value. progress and group
  // as for CopyFileReporting (with a group the copy is made by its commit).
  int CopyEntry(std::size_t k, const std::string& source, std::uint64_t& size, const std::function<void()>& progress,
                TCopySum& sum, hovrak::TSaveGroup* group = nullptr) const;
  // The entries among the given ones whose copy is there as a plain file inside the
  // unit folder, in the same order.
  std::vector<std::size_t> PresentCopies(const std::vector<std::size_t>& entries) const;
  // Prepare, then every copy; Files keeps only the copies made and Size counts them.
  void Create(const TStringVector& files);

  // The copy name of a file below the unit's folder, before collisions are
  // resolved: its path relative to BaseDir with the characters that cannot stand in
  // a file name replaced by "_", always a relative path with no "." or ".."
  // component.
  std::string BackupFileName(const std::string& path) const;

  // Keeps the entries at the given positions (ascending) of Files, Sources, Written
  // and CopySums, dropping the others.
  void KeepEntries(const std::vector<std::size_t>& positions);
  // The state recorded for entry k, not known when there is none.
  TWrittenState WrittenOf(std::size_t k) const;
  // The sum recorded for the copy of entry k, not known when there is none.
  TCopySum CopySumOf(std::size_t k) const;
  // Whether the unit records where its copies came from and how the replace left
  // the files (units made by older versions do not).
  bool HasRecords() const { return Sources.size() == Files.size() && !Files.empty(); }

  // Where the copy of entry k goes back to; empty when that cannot be told safely.
  // With a recorded source, that path, provided it is absolute, lies below BaseDir
  // with no "." or ".." component on the way and gives this copy name under the
  // naming rules (an index edited to send a
  // copy elsewhere is refused). Without one, BaseDir joined with the entry, each
  // collision suffix "~N" taken off; refused when BaseDir is not absolute or when
  // the name without suffix is another entry's file too (their real names are not
  // known, and one would overwrite the other).
  std::string OriginalPath(std::size_t k) const;
  // The path with a trailing "~N" (N digits) taken off each component.
  static std::string WithoutCollisionSuffixes(const std::string& path);

  // The backup folder joined with Name.
  std::string Folder() const;

  // Whether Name is one plain folder name and every entry of Files a relative
  // path without "." or ".." components: only such a unit may be deleted, since
  // an index read from disk could otherwise point anywhere.
  bool IsConfined() const;

  // Deletes the listed copies, the mark and then every folder of the unit that is
  // left empty, through the unit folder marker holds alone (TUnitMarker::TryAlone).
  // Failures are ignored; files not listed are never touched.
  void DeleteFiles(TUnitMarker& marker) const;

 private:
  const TBackup* owner_;

  // The first free name from the counter first on: no entry of that name in the
  // backup folder and no other unit of the index with it.
  std::string ChooseName(const std::string& label, unsigned first) const;
};
