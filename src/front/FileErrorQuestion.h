#pragma once
// The question the windows ask about a file that failed a check during a run: its
// text, whether forcing is offered, and how the dialog's answer becomes a decision.

#include <string>

#include "backup/RestoreProblem.h"
#include "shared/Decision.h"
#include "text/CharCode.h"
#include "text/FileOperationResult.h"

namespace hovrak {

// Answers of the file error dialog (the modal result codes of its buttons).
enum TFileErrorAnswer : int {
  FileErrorAbort = 3,
  FileErrorRetry = 4,
  FileErrorSkip = 6,
  FileErrorForce = 7,
  FileErrorSkipAll = 10,
};

struct TFileErrorQuestion {
  std::string Text;       // failure text, LF, TMsg::SkipThisFile, two LFs, the path
  bool Forcible = false;  // true only for a binary file, a character-code mismatch
                          // and a file changed since the search
};

// The text of a failure (rows 46 to 52): replacing, the run is a replace (a file
// that cannot be opened then cannot be written); charCode, the option CharCode,
// which picks the mismatch text; error, the system's errno value (0: none known),
// which replaces the guess that a file that cannot be written is read-only when it
// says otherwise. "" for a result without a text of its own.
std::string FileFailureText(TFileOperationResult result, bool replacing, TCharCode charCode, int error = 0);

// Whether Force can answer a failure: only a file whose whole text is at hand (a
// binary file, a character-code mismatch, a file changed since the search); one that
// could not be read (not opened, too large) or written has nothing to force.
bool IsForcibleFailure(TFileOperationResult result);

// The failure's text with the system's reason when error is not 0, then TMsg::SkipThisFile and
// the path as above.
TFileErrorQuestion MakeFileErrorQuestion(const std::string& path, TFileOperationResult result, bool replacing,
                                         TCharCode charCode, int error = 0);

// The question of a restore (the undo of a replace) about a file that failed its
// check: the failure's own text (with the system's reason when error is not 0),
// then the same lines as above. Force is offered for every failure but a failed
// write, which has nothing to force.
TFileErrorQuestion MakeRestoreQuestion(const std::string& path, TRestoreProblem problem, int error);

// The run's decision for a dialog answer; anything unknown (the dialog closed some
// other way) aborts. Skip-all is answered Skip; remembering it is the caller's.
TDecision DecisionFromAnswer(int answer);

}  // namespace hovrak
