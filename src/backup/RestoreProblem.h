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
};
