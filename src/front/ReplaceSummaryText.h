#pragma once
// What a replace run did, for the user: a line for the status bar and a fuller text
// for a message, with the places and files written, each file skipped or not written
// and why, the backup unit made and the older units pruned to make room for it.

#include <cstddef>
#include <string>

#include "shared/MessageTable.h"

class TFileSet;

namespace hovrak {

struct TReplaceSummary {
  std::string Status;  // one line
  std::string Text;    // the whole summary
  // A file was skipped or could not be written, or nothing was written for want of
  // a backup: the message is a warning.
  bool Problems = false;
  // Older backup units were deleted: they can no longer be undone, which the user
  // must be told even after a run without problems.
  bool Pruned = false;
};

// The first words of a replace's status and summary: only a completed run wrote what
// was asked; a stop, or a backup the user would not go on without, did not.
TMsg ReplaceEndRow(int outcome);

// outcome: a TReplaceOutcome; set: the file set of the run. At most listed files are
// named per kind, the rest counted.
TReplaceSummary ReplaceSummaryText(int outcome, const TFileSet& set, std::size_t listed = 20);

}  // namespace hovrak
