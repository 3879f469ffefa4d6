#pragma once
// Which message row names the work a run reports through OnProcess, for the progress
// window and the command line's progress line alike.

#include "shared/MessageTable.h"
#include "shared/ProcessType.h"

namespace hovrak {

// A search or replace: listing the files, searching, backing up, replacing.
TMsg ProcessRow(TProcessType kind);

// An undo: the backup of the files it overwrites, the check of a copy, the writing back.
TMsg RestoreProcessRow(TProcessType kind);

}  // namespace hovrak
