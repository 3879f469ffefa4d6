#include "front/FileErrorQuestion.h"
#include "front/SystemErrorText.h"

#include <cerrno>
#include <cstring>

#include "shared/MessageTable.h"

namespace hovrak {

namespace {

// The message row for a failure, 0 for a failure that has no text of its own.
int FailureRow(TFileOperationResult result, bool replacing, TCharCode charCode) {
  switch (result) {
    case TFileOperationResult::OpenFailed: return replacing ? 46 : 47;
    case TFileOperationResult::BinaryFile: return 51;
    case TFileOperationResult::CharCodeMismatch:
      return charCode == TCharCode::Auto ? 48 : charCode == TCharCode::SJIS ? 49 : 50;
    case TFileOperationResult::ModifiedSinceSearch: return 52;
    default: return 0;
  }
}

}  // namespace

std::string FileFailureText(TFileOperationResult result, bool replacing, TCharCode charCode, int error) {
  const int row = FailureRow(result, replacing, charCode);
  if (row == 0) return std::string();
  std::string text = MessageTable(row);
  // "It seems to be read-only" is only a guess, wrong when the system says otherwise.
  if (row == 46 && error != 0 && error != EACCES && error != EPERM && error != EROFS) text.resize(text.find('\n'));
  return text;
}

bool IsForcibleFailure(TFileOperationResult result) {
  return result == TFileOperationResult::BinaryFile || result == TFileOperationResult::CharCodeMismatch ||
         result == TFileOperationResult::ModifiedSinceSearch;
}

TFileErrorQuestion MakeFileErrorQuestion(const std::string& path, TFileOperationResult result, bool replacing,
                                         TCharCode charCode, int error) {
  TFileErrorQuestion q;
  q.Text = FileFailureText(result, replacing, charCode, error);
  if (error != 0) {
    q.Text += "\n（";
    q.Text += SystemErrorText(error);
    q.Text += "）";
  }
  q.Text += "\n";
  q.Text += MessageTable(TMsg::SkipThisFile);
  q.Text += "\n\n";
  q.Text += path;
  q.Forcible = IsForcibleFailure(result);
  return q;
}

TFileErrorQuestion MakeRestoreQuestion(const std::string& path, TRestoreProblem problem, int error) {
  TMsg row = TMsg::RestoreModified;
  switch (problem) {
    case TRestoreProblem::Modified: row = TMsg::RestoreModified; break;
    case TRestoreProblem::NotRecorded: row = TMsg::RestoreNotRecorded; break;
    case TRestoreProblem::Missing: row = TMsg::RestoreMissing; break;
    case TRestoreProblem::FolderMissing: row = TMsg::RestoreFolderMissing; break;
    case TRestoreProblem::WriteFailed: row = TMsg::RestoreWriteFailed; break;
    case TRestoreProblem::Link: row = TMsg::RestoreLink; break;
    case TRestoreProblem::LinkedFolder: row = TMsg::RestoreLinkedFolder; break;
  }
  TFileErrorQuestion q;
  q.Text = MessageTable(row);
  if (error != 0) {
    q.Text += "\n";
    q.Text += SystemErrorText(error);
  }
  q.Text += "\n";
  q.Text += MessageTable(TMsg::SkipThisFile);
  q.Text += "\n\n";
  q.Text += path;
  q.Forcible = IsForcible(problem);
  return q;
}

TDecision DecisionFromAnswer(int answer) {
  switch (answer) {
    case FileErrorRetry: return TDecision::Retry;
    case FileErrorSkip:
    case FileErrorSkipAll: return TDecision::Skip;
    case FileErrorForce: return TDecision::Force;
    default: return TDecision::Abort;
  }
}

}  // namespace hovrak
