#pragma once
// What a save leaves on disk while it runs, written down so that the next start of
// the program can tidy up after a run that was killed: the temporary files it made
// beside the files it wrote, and the copy of the old bytes an in-place rewrite keeps
// until the new bytes are on disk. Each process keeps a journal file of its own in
// one folder and holds a lock on it while it lives; a journal whose lock is free
// belongs to a process that has ended.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

namespace hovrak {

// The folder this process keeps its journal in (created when the first record is
// written); empty, the default, keeps none. The front ends set it at start, after
// RecoverSaveJournals.
void SetSaveJournalFolder(const std::string& folder);

// The records of this process. Every call does nothing while no folder is set or
// when the journal cannot be written: saving goes on as before without it.
namespace SaveJournal {

// A temporary file is about to be made at path; it is gone again (renamed into place
// or removed); it was not made, since another file has that name.
void TempCreating(const std::string& path);
void TempGone(const std::string& path);
void TempNotMade(const std::string& path);

// The old bytes of the file target (the inode file) lie whole in copy, a file made
// as a temporary one (TFolderHandle::CreateTemp); the new bytes about to be written
// in place have the given size and hash. On disk before it returns, so that it
// holds before the first byte of target changes.
void RescueKept(const std::string& target, const std::string& copy, const TFileIdentity& file, std::int64_t oldSize,
                std::uint64_t oldHash, std::int64_t newSize, std::uint64_t newHash);
// The rewrite is over and the copy removed (without RemoveTemp), or handed to the
// caller.
void RescueDone(const std::string& copy);

}  // namespace SaveJournal

// What the tidying up after a killed run did about one file.
struct TRecoveredSave {
  enum class TKind {
    // The file was left half-written; its old bytes are back and the copy is gone.
    Repaired,
    // The file could not be put right (changed since, or the copy is damaged or
    // cannot be written back): the copy of its old bytes stays at CopyPath.
    CopyKept,
  };
  TKind Kind = TKind::Repaired;
  std::string Path;
  std::string CopyPath;
  int Error = 0;  // errno value behind CopyKept, when there is one
};

// Goes through the journals in folder whose processes have ended: removes the
// temporary files they left, puts back the old bytes of every file an in-place
// rewrite left torn (a file holding its old or its new bytes whole is left as it
// is), removes the copies no longer needed, and the journals. Files another process
// holds locked now are left for a later start. Returns what the user should hear of.
std::vector<TRecoveredSave> RecoverSaveJournals(const std::string& folder);

}  // namespace hovrak
