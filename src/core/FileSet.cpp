#include "core/FileSet.h"

#include "core/FileReplace.h"
#include "core/FileSearch.h"
#include "platform/FileInfo.h"
#include "text/DetectCharCode.h"

void TFileSet::SetFiles(const TStringVector& paths) { Files = paths; }

int TFileSet::GetPathKind(const std::string& path) { return hovrak::PathKind(path); }

boost::posix_time::ptime TFileSet::GetLastWriteTime(const std::string& path) { return hovrak::LastWriteTime(path); }

TDecision TFileSet::AskFileError(const std::string& path, TFileOperationResult result, int error) {
  return OnFileError ? OnFileError(path, result, error) : TDecision::Skip;
}

TFileSetOutcome TFileSet::Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list) {
  return TFileSearch(*this).Search(pattern, list);
}

TFileSetOutcome TFileSet::Detect() { return TFileSearch(*this).Detect(); }

TCharCode TFileSet::ReadCode(const std::string& bytes, bool* wellFormed) const {
  if (wellFormed) *wellFormed = false;
  if (CharCode == TCharCode::ASCII) return TCharCode::ASCII;
  const TCharCode code = CharCode == TCharCode::Auto ? DetectCharCode(bytes, wellFormed) : CharCode;
  return code == TCharCode::ASCII || code == TCharCode::Unknown ? TCharCode::SJIS : code;
}

TFileSetOutcome TFileSet::Replace(const TAbstractReplacingPattern& pattern, TAbstractPlaceList& list, bool doBackup,
                                  const TTextChangeEvent* preview) {
  return TFileReplace(*this, preview).Run(pattern, list, doBackup);
}

bool TFileSet::IsModifiedSinceSearch(const std::string& path) const {
  const auto it = TimeStamps.find(path);
  if (it == TimeStamps.end() || !it->second) return false;
  // A file whose time cannot be read now (deleted, say) is left to the load, which
  // reports it as a failed open that the user can retry.
  const hovrak::TFileIdentity now = hovrak::TFileIdentity::OfPath(path);
  if (!now.Known()) return false;
  if (hovrak::TimeFromUnix(now.ModifiedSeconds, now.ModifiedNanoseconds) != *it->second) return true;
  const auto state = FileStates.find(path);
  return state != FileStates.end() && state->second.Known() && state->second != now;
}
