#pragma once
// The files one search run visits, in visiting order, with the options the run
// copied and the time stamps the replace run checks; the facade of the three phases
// that work on it: the listing (FileListing.cpp), the search loop (TFileSearch) and
// the replace loop (TFileReplace).

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/ptime.hpp>
#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include "backup/BackupReport.h"
#include "backup/WrittenState.h"
#include "core/FileSetOutcome.h"
#include "core/ReplaceFailure.h"
#include "core/TextChange.h"
#include "platform/FileIdentity.h"
#include "shared/Decision.h"
#include "shared/ProcessType.h"
#include "shared/SkipReason.h"
#include "shared/StringVector.h"
#include "text/CharCode.h"
#include "text/FileFacts.h"

class TBackup;
class TAbstractPlaceList;
class TAbstractSearchedPattern;
class TAbstractReplacingPattern;
class TFileFilter;

using TPosixTimePtr = boost::shared_ptr<boost::posix_time::ptime>;
// Takes one path; returns true to go on, false to stop the walk.
using TPathReceiver = boost::function<bool(const std::string& path)>;

class TFileSet {
 public:
  // Paths to visit, in visiting order.
  TStringVector Files;
  // Copies of the options, taken at search start; they govern the search and the
  // replace run that follows on the same results.
  TCharCode CharCode = TCharCode::SJIS;
  bool CheckCharCode = true;
  bool CheckTime = true;
  std::int32_t MaxFileSize = 2147483647;
  // Threads the search reads and searches files on; 0: one per processor. The
  // results and every callback come in list order on the calling thread whatever
  // the number.
  int Threads = 1;
  // Makes a new pattern like the one a search is given, for each worker of the pool
  // to have its own; unset, the search runs on the calling thread alone.
  boost::function<std::unique_ptr<TAbstractSearchedPattern>()> PatternMaker;
  // The core's backup store; not owned.
  TBackup* Backup = nullptr;
  // Last-write time of each file that had a hit, by path in byte-wise order.
  std::map<std::string, TPosixTimePtr> TimeStamps;
  // The state of each of those files when it was searched: inode, size and times to
  // the nanosecond, so that a change that kept the time stamp shows as well.
  std::map<std::string, hovrak::TFileIdentity> FileStates;
  TProcessEvent OnProcess;
  TFileErrorEvent OnFileError;
  // Asked when the backup of a replace run is incomplete (a copy or the index could
  // not be made): true goes on without those copies. Unset or false: no file is
  // rewritten, the incomplete unit is discarded and Replace returns BackupIncomplete.
  boost::function<bool(const TBackupReport&)> OnBackupFailed;

  // What the last replace run's backup did, the files it rewrote (in search order)
  // with the number of places replaced in them, and the files it did not rewrite.
  TBackupReport LastBackup;
  TStringVector WrittenFiles;
  int ReplacedPlaces = 0;
  std::vector<TReplaceFailure> Failures;
  // The state each file had right after this replace run wrote it, by absolute path;
  // recorded in the run's backup unit so that a restore can tell later work on it.
  std::map<std::string, TWrittenState> WrittenStates;
  // Told of each file over MaxFileSize that the search passes over, and of each
  // folder the listing cannot read or path it cannot use (each folder once).
  TSkippedEvent OnSkipped;
  // Told of each file the search (or Detect) has read, with the code it reads it
  // in, before any place of it; may be empty.
  TFileReadEvent OnFileRead;

  // Files becomes exactly these paths: no check, no filter, given order.
  void SetFiles(const TStringVector& paths);
  // Appends the files of folder that match one of the filters, then, when
  // subFolders is set, those of every folder below it, depth first. Filters that
  // start with "!" leave files and folders out (TFileFilter); a folder left out is
  // not entered. A stop raised by OnProcess ends the listing; the files appended so
  // far stay.
  void AddFolder(const std::string& folder, const TStringVector& filters, bool subFolders);

  // Calls receiver for every folder below folder, depth first, each before the
  // folders below it, siblings in byte-wise order of their names (the same on every
  // machine, whatever order the system lists them in). Symbolic links to folders are
  // not entered. False when the receiver stopped the walk. onSkipped (may be empty)
  // hears of a folder that cannot be read and of a subfolder whose path is too long
  // to open, which is not entered. enter (may be empty) is asked first about each
  // folder: one it refuses is neither passed to receiver nor entered.
  static bool ForEachSubFolder(const std::string& folder, const TPathReceiver& receiver,
                               const TSkippedEvent& onSkipped = TSkippedEvent(),
                               const TPathReceiver& enter = TPathReceiver());
  // Calls receiver with the path of every file in folder whose name matches the
  // wildcard pattern. A pattern with a "/" looks in the folder it names below
  // folder. False when the receiver stopped; true otherwise, also for a missing or
  // unreadable folder. onSkipped (may be empty) hears of a folder that exists but
  // cannot be read and of a matching file whose path is too long to open, which the
  // receiver does not get.
  static bool ForEachFile(const std::string& folder, const std::string& pattern, const TPathReceiver& receiver,
                          const TSkippedEvent& onSkipped = TSkippedEvent());
  // folder, a "/" unless it already ends in one, then name.
  static std::string JoinPath(const std::string& folder, const std::string& name);
  // 0 missing (cannot be queried), 1 file, 2 folder.
  static int GetPathKind(const std::string& path);
  // Last-write time in UTC with millisecond resolution; not_a_date_time when the
  // file cannot be queried.
  static boost::posix_time::ptime GetLastWriteTime(const std::string& path);

  // The search loop: every file in order, with a Searching report before each (and
  // again while the file is still being read on the pool).
  // pattern and list are of the run's character type (narrow when CharCode is
  // ASCII). NoFiles when Files is empty. EStoppedException passes on.
  TFileSetOutcome Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list);
  // Reads every file as the search would and tells OnFileRead of it, searching
  // nothing: which code each is read in. NoFiles when Files is empty.
  TFileSetOutcome Detect();
  // The code the search reads bytes in (Auto detected, ASCII and Unknown as
  // Shift-JIS; ASCII itself when the run takes bytes as they are). wellFormed as in
  // DetectCharCode.
  TCharCode ReadCode(const std::string& bytes, bool* wellFormed = nullptr) const;

  // The replace loop over the files with ticked places, in search order, after
  // handing them to the backup store when doBackup is set. BackupIncomplete when the
  // backup was incomplete and OnBackupFailed did not agree to go on.
  // Each file is checked, loaded, spliced and written under a lock that other Mirun
  // processes honour; its places leave the list once it is written. Only the units of
  // the replaced hits change: every other byte, line ends included, is written back
  // as it was. A hit that no longer stands at its line and column makes the file
  // modified since the search; forced, such places are left out.
  // preview: write nothing and back nothing up; every check, question and splice
  // runs as it would, and each file that would be written goes to preview instead,
  // as the text it would hold.
  TFileSetOutcome Replace(const TAbstractReplacingPattern& pattern, TAbstractPlaceList& list, bool doBackup,
                          const TTextChangeEvent* preview = nullptr);
  // True when the search stored a time stamp for path and the file's time, or its
  // size, inode or times to the nanosecond, differ now.
  bool IsModifiedSinceSearch(const std::string& path) const;

 private:
  friend class TFileSearch;
  friend class TFileReplace;

  // OnFileError's answer; Skip when it is unset.
  TDecision AskFileError(const std::string& path, TFileOperationResult result, int error = 0);
  // OnSkipped for a path of the listing, once per path.
  void ReportSkipped(const std::string& path, TSkipReason reason);
  // The listing of one folder with the filters read; base: the length of the searched
  // folder's path with its "/", where the paths the exclusions see begin.
  bool AddFolderFiles(const std::string& folder, const TFileFilter& filter, std::size_t base);

  // Paths of the listing already reported through OnSkipped.
  std::set<std::string> reportedSkips_;
};
