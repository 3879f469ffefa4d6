#pragma once
// How a run over a file set's files ended.

enum class TFileSetOutcome {
  // Every file was visited (each one searched, read, or replaced or passed over).
  Completed,
  // The set holds no file: nothing was searched or read.
  NoFiles,
  // The backup was incomplete and the user did not agree to go on: no file was
  // rewritten.
  BackupIncomplete,
};
