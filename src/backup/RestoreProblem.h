#pragma once
// Why a restore asks before putting a file back.

enum class TRestoreProblem {
  // The file differs from the state the replace left it in: someone worked on it.
  Modified,
  // The unit holds no record of that state (an older unit, or a file the replace did
  // not write), and the file differs from the copy.
  NotRecorded,
  // The file is gone; its folder is still there.
  Missing,
  // The folder the file was in is gone too.
  FolderMissing,
  // Writing the file back failed; the reason is the restore's LastError.
  WriteFailed,
  // A symbolic link stands where the file was. Forced, the link itself is replaced
  // by the file; what it points to is never written.
  Link,
  // A folder on the way to the file (below the unit's base folder) is a symbolic
  // link or no folder at all. A restore never follows it, so this cannot be forced.
  LinkedFolder,
};

// Whether Force can answer the problem.
inline bool IsForcible(TRestoreProblem problem) {
  return problem != TRestoreProblem::WriteFailed && problem != TRestoreProblem::LinkedFolder;
}
