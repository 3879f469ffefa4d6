#pragma once
// One backup made by one replace run: a dated folder inside the backup folder with
// plain copies of the files the run was about to change, and its entry in the
// backup index of the settings file.

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include <boost/date_time/posix_time/ptime.hpp>

#include "core/StringVector.h"
#include "settings/KELObject.h"

class TBackup;

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

  explicit TBackupUnit(const TBackup* owner);

  const TBackup* Owner() const { return owner_; }

  // "Time", "Name", "Size", "BaseDir", then one "File" per entry.
  void Write(hovrak::TKELNode& node) const override;
  // The same keys in the same order; Files is replaced by the "File" values found.
  void Read(hovrak::TKELNode& node) override;

  TBackupUnit(const TBackupUnit&) = default;
  TBackupUnit& operator=(const TBackupUnit&) = default;

  // Fills a new unit: time, base folder and a free folder name, which it takes by
  // creating the folder (none for no files), and the copy names to come in Files.
  // Returns 0 or the errno value of a failure to create the folder.
  int Prepare(const TStringVector& files);
  // Copies source to the unit's entry k, creating folders as needed; adds the copy's
  // size to size. Returns 0 or an errno value. progress as for CopyFileReporting.
  int CopyEntry(std::size_t k, const std::string& source, std::uint64_t& size,
                const std::function<void()>& progress) const;
  // Prepare, then every copy; Files keeps only the copies made and Size counts them.
  void Create(const TStringVector& files);

  // The copy name of a file below the unit's folder, before collisions are
  // resolved: its path relative to BaseDir with the characters that cannot stand in
  // a file name replaced by "_", always a relative path with no "." or ".."
  // component.
  std::string BackupFileName(const std::string& path) const;

  // The backup folder joined with Name.
  std::string Folder() const;

  // Whether Name is one plain folder name and every entry of Files a relative
  // path without "." or ".." components: only such a unit may be deleted, since
  // an index read from disk could otherwise point anywhere.
  bool IsConfined() const;

  // Deletes the listed copies and then every folder of the unit that is left
  // empty. Failures are ignored; files not listed are never touched.
  void DeleteFiles() const;

 private:
  const TBackup* owner_;

  // The first free name from the counter first on: no entry of that name in the
  // backup folder and no other unit of the index with it.
  std::string ChooseName(const std::string& label, unsigned first) const;
};
