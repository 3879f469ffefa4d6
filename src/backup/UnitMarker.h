#pragma once
// The mark Mirun leaves in every backup unit folder it makes, and the lock on it that
// says the unit is in use. Pruning deletes a unit only where the mark proves the
// folder Mirun's own (an index copied from another machine, or edited by hand, may
// name any folder), and only while no run is making or restoring the unit: those
// hold the lock shared, pruning takes it alone.

#include <string>

#include "platform/FileDescriptor.h"
#include "platform/FolderHandle.h"

class TUnitMarker {
 public:
  // The mark's name inside the unit folder; no copy is ever given it.
  static const char* const FileName;

  enum class TState {
    Held,    // held alone: the unit may be deleted
    InUse,   // another run holds it: the unit is being made or restored
    Absent,  // no mark: nothing proves the folder Mirun's
  };

  // Writes the mark into the unit folder this process has just made and holds it
  // shared. 0 or an errno value.
  int Create(const std::string& backupFolder, const std::string& unitName);
  // Holds the mark of an existing unit shared, waiting while a pruning run holds it.
  // False when the unit has no mark.
  bool HoldShared(const std::string& backupFolder, const std::string& unitName);
  // Tries to hold the mark alone, without waiting.
  TState TryAlone(const std::string& backupFolder, const std::string& unitName);

  bool Held() const { return fd_.Get() >= 0; }
  // The unit folder, as held with the mark (open only while the mark is held).
  const hovrak::TFolderHandle& Folder() const { return unit_; }
  // Deletes the mark held alone, as the last step before its folder goes.
  void Remove();
  void Release();

 private:
  // Opens the mark of the unit without following links and checks that it is one;
  // no descriptor when it is not.
  hovrak::TFileDescriptor OpenMark(const std::string& backupFolder, const std::string& unitName);

  hovrak::TFolderHandle unit_;
  hovrak::TFileDescriptor fd_;
};
