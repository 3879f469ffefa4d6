#include "core/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <boost/make_shared.hpp>

#include "backup/Backup.h"
#include "core/FileFilter.h"
#include "pattern/FoldedSearchedPattern.h"
#include "pattern/NormalSearchedPattern.h"
#include "pattern/RegexSearchedPattern.h"
#include "pattern/ReplaceInText.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "place/PlaceList.h"
#include "shared/StoppedException.h"
#include "text/DetectCharCode.h"
#include "text/File.h"

#include "platform/DirReader.h"
#include "platform/FileInfo.h"
#include "platform/FileLock.h"
#include "platform/PathOps.h"
#include "platform/Wildcard.h"

using hovrak::TDirEntryKind;
using hovrak::TDirReader;

void TFileSet::SetFiles(const TStringVector& paths) { Files = paths; }

void TFileSet::AddFolder(const std::string& folder, const TStringVector& filters, bool subFolders) {
  const TFileFilter filter(filters);
  const std::size_t base = JoinPath(folder, std::string()).size();
  AddFolderFiles(folder, filter, base);
  if (subFolders) {
    // A folder left out is not entered: nothing below it is listed or even read.
    const TPathReceiver enter = [&filter, base](const std::string& sub) {
      return !filter.ExcludesFolder(std::string_view(sub).substr(base));
    };
    ForEachSubFolder(
        folder, [this, &filter, base](const std::string& sub) { return AddFolderFiles(sub, filter, base); },
        [this](const std::string& path, TSkipReason reason) { ReportSkipped(path, reason); },
        filter.HasExclusions() ? enter : TPathReceiver());
  }
}

bool TFileSet::AddFolderFiles(const std::string& folder, const TStringVector& filters) {
  return AddFolderFiles(folder, TFileFilter(filters), JoinPath(folder, std::string()).size());
}

bool TFileSet::AddFolderFiles(const std::string& folder, const TFileFilter& filter, std::size_t base) {
  if (OnProcess) OnProcess(TProcessType::Listing, folder, 0, static_cast<int>(Files.size()));
  // The set sorts the folder's files and drops those that several filters match.
  std::set<std::string> found;
  const std::size_t listed = JoinPath(folder, std::string()).size();
  const TPathReceiver insert = [&found, &filter, base, listed](const std::string& path) {
    if (filter.HasExclusions()) {
      const std::string_view relative = std::string_view(path).substr(base);
      if (filter.ExcludesFile(relative)) return true;
      // A filter with a "/" reaches into folders below this one, which must not be
      // left out either.
      for (std::size_t slash = path.find('/', listed); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (filter.ExcludesFolder(std::string_view(path).substr(base, slash - base))) return true;
    }
    found.insert(path);
    return true;
  };
  const TSkippedEvent report = [this](const std::string& path, TSkipReason reason) { ReportSkipped(path, reason); };
  for (const std::string& pattern : filter.Includes()) ForEachFile(folder, pattern, insert, report);
  Files.insert(Files.end(), found.begin(), found.end());
  return true;
}

namespace {

// A path the system refuses to open for its length alone.
bool IsTooLong(const std::string& path) { return path.size() >= PATH_MAX; }

// Tells onSkipped why a folder that exists could not be read; a missing folder is
// no news.
void ReportUnread(const TDirReader& reader, std::string folder, const TSkippedEvent& onSkipped) {
  const int error = reader.Error();
  if (!onSkipped || error == 0 || error == ENOENT || error == ENOTDIR) return;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  onSkipped(folder, error == ENAMETOOLONG ? TSkipReason::PathTooLong : TSkipReason::FolderUnreadable);
}

}  // namespace

bool TFileSet::ForEachSubFolder(const std::string& folder, const TPathReceiver& receiver,
                                const TSkippedEvent& onSkipped, const TPathReceiver& enter) {
  // Names are collected first so that no folder stays open while the walk descends:
  // a deep tree would otherwise hold one descriptor per level.
  std::vector<std::string> subs;
  {
    TDirReader reader(folder);
    while (reader.Next())
      if (reader.Kind() == TDirEntryKind::Folder) subs.push_back(JoinPath(folder, reader.Name()));
    ReportUnread(reader, folder, onSkipped);
  }
  // All names share the folder's prefix, so the paths sort as the names do.
  std::sort(subs.begin(), subs.end());
  for (const std::string& sub : subs) {
    if (IsTooLong(sub)) {
      if (onSkipped) onSkipped(sub, TSkipReason::PathTooLong);
      continue;
    }
    if (enter && !enter(sub)) continue;
    if (!receiver(sub)) return false;
    if (!ForEachSubFolder(sub, receiver, onSkipped, enter)) return false;
  }
  return true;
}

bool TFileSet::ForEachFile(const std::string& folder, const std::string& pattern, const TPathReceiver& receiver,
                           const TSkippedEvent& onSkipped) {
  // Like a system find over folder/pattern: the wildcards apply to the last part,
  // everything before it names the folder that is read.
  const std::string joined = JoinPath(folder, pattern);
  const std::size_t slash = joined.rfind('/');
  const std::string directory = joined.substr(0, slash + 1);
  const std::string namePattern = joined.substr(slash + 1);
  if (namePattern.empty()) return true;
  TDirReader reader(directory);
  while (reader.Next()) {
    if (!hovrak::MatchWildcard(namePattern, reader.Name())) continue;
    if (reader.Kind() != TDirEntryKind::File) continue;
    std::string path = directory + reader.Name();
    if (IsTooLong(path)) {
      if (onSkipped) onSkipped(path, TSkipReason::PathTooLong);
      continue;
    }
    if (!receiver(path)) return false;
  }
  ReportUnread(reader, directory, onSkipped);
  return true;
}

std::string TFileSet::JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

int TFileSet::GetPathKind(const std::string& path) { return hovrak::PathKind(path); }

boost::posix_time::ptime TFileSet::GetLastWriteTime(const std::string& path) { return hovrak::LastWriteTime(path); }

namespace {

// The text file of a run's character type: raw bytes when the code is ASCII,
// decoded UTF-16 otherwise.
template <class C>
struct TRunFile;

template <>
struct TRunFile<char> {
  static std::unique_ptr<TFile<char>> Make(const std::string& path, TCharCode) {
    return std::make_unique<TFile<char>>(path);
  }
};

template <>
struct TRunFile<wchar_t> {
  static std::unique_ptr<TFile<wchar_t>> Make(const std::string& path, TCharCode code) {
    return std::make_unique<TFile<wchar_t>>(path, code);
  }
};

// The code a loaded file is written back in.
TCharCode FileCodeOf(const TFile<char>&) { return TCharCode::ASCII; }
TCharCode FileCodeOf(const TFile<wchar_t>& file) { return file.CharCode; }

}  // namespace

TDecision TFileSet::AskFileError(const std::string& path, TFileOperationResult result, int error) {
  return OnFileError ? OnFileError(path, result, error) : TDecision::Skip;
}

void TFileSet::ReportSkipped(const std::string& path, TSkipReason reason) {
  if (OnSkipped && reportedSkips_.insert(path).second) OnSkipped(path, reason);
}

int TFileSet::Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list) {
  if (Files.empty()) return 2;
  const std::unique_ptr<TUtf8PlainSearch> direct = MakeDirectSearch(pattern);
  std::string bytes;  // each file's bytes, in room reused from file to file
  const int n = static_cast<int>(Files.size());
  for (int i = 0; i < n; ++i) {
    const std::string& path = Files[static_cast<std::size_t>(i)];
    if (OnProcess) OnProcess(TProcessType::Searching, path, i, n);
    // Taken before the load, so a change made while the file is read counts as a change.
    TPosixTimePtr stamp;
    hovrak::TFileIdentity state;
    if (CheckTime) {
      state = hovrak::TFileIdentity::OfPath(path);
      stamp = boost::make_shared<boost::posix_time::ptime>(
          state.Known() ? hovrak::TimeFromUnix(state.ModifiedSeconds, state.ModifiedNanoseconds)
                        : boost::posix_time::ptime(boost::posix_time::not_a_date_time));
    }
    const bool hit = SearchOneFile(path, pattern, list, direct.get(), bytes);
    // A file whose time could not be read gets no entry and is never reported as changed.
    if (hit && stamp && !stamp->is_special()) {
      TimeStamps[path] = stamp;
      FileStates[path] = state;
    }
  }
  return 0;
}

int TFileSet::Detect() {
  if (Files.empty()) return 2;
  std::string bytes;
  const int n = static_cast<int>(Files.size());
  for (int i = 0; i < n; ++i) {
    const std::string& path = Files[static_cast<std::size_t>(i)];
    if (OnProcess) OnProcess(TProcessType::Searching, path, i, n);
    if (!ReadForSearch(path, bytes)) continue;
    if (OnFileRead) OnFileRead(path, ReadCode(bytes), bytes);
  }
  return 0;
}

TCharCode TFileSet::ReadCode(const std::string& bytes, bool* wellFormed) const {
  if (wellFormed) *wellFormed = false;
  if (CharCode == TCharCode::ASCII) return TCharCode::ASCII;
  const TCharCode code = CharCode == TCharCode::Auto ? DetectCharCode(bytes, wellFormed) : CharCode;
  return code == TCharCode::ASCII || code == TCharCode::Unknown ? TCharCode::SJIS : code;
}

bool TFileSet::SearchFile(const std::string& path, const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list) {
  std::string bytes;
  return SearchOneFile(path, pattern, list, MakeDirectSearch(pattern).get(), bytes);
}

std::unique_ptr<TUtf8PlainSearch> TFileSet::MakeDirectSearch(const TAbstractSearchedPattern& pattern) const {
  if (CharCode == TCharCode::ASCII) return nullptr;
  std::unique_ptr<TUtf8PlainSearch> direct;
  if (const auto* plain = dynamic_cast<const TNormalSearchedPattern<wchar_t>*>(&pattern))
    direct = std::make_unique<TUtf8PlainSearch>(plain->Needle());
  else if (const auto* folded = dynamic_cast<const TFoldedSearchedPattern<wchar_t>*>(&pattern))
    direct = std::make_unique<TUtf8PlainSearch>(folded->Needle(), true);
  else if (const auto* regex = dynamic_cast<const TRegexSearchedPattern<wchar_t>*>(&pattern);
           regex && !regex->Required().empty())
    direct = std::make_unique<TUtf8PlainSearch>(regex->Required(), regex->IgnoreCase(), true);
  else return nullptr;
  if (!direct->Usable()) return nullptr;
  return direct;
}

bool TFileSet::ReadForSearch(const std::string& path, std::string& bytes) {
  for (;;) {
    int error = 0;
    const TFileOperationResult read = TFileBase<char>::ReadRawBytes(path, MaxFileSize, bytes, nullptr, &error);
    if (read == TFileOperationResult::Success) return true;
    if (read != TFileOperationResult::OpenFailed) {  // too large: passed over, no question
      if (OnSkipped) OnSkipped(path, TSkipReason::TooLarge);
      return false;
    }
    const TDecision decision = AskFileError(path, read, error);
    if (decision == TDecision::Skip) return false;
    if (decision == TDecision::Abort) throw EStoppedException();
  }
}

bool TFileSet::SearchOneFile(const std::string& path, const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list,
                             const TUtf8PlainSearch* direct, std::string& bytes) {
  if (!ReadForSearch(path, bytes)) return false;
  if (CharCode == TCharCode::ASCII) {
    if (OnFileRead) OnFileRead(path, TCharCode::ASCII, bytes);
    // The bytes as they are, line ends normalised as a narrow load does.
    TFileBase<char>::NormalizeNewLines(bytes);
    return SearchFileText<char>(dynamic_cast<const TSearchedPattern<char>&>(pattern), std::string_view(bytes),
                                dynamic_cast<TPlaceList<char>&>(list), path);
  }
  const auto& typedPattern = dynamic_cast<const TSearchedPattern<wchar_t>&>(pattern);
  auto& typedList = dynamic_cast<TPlaceList<wchar_t>&>(list);
  TFile<wchar_t> file(path, CharCode);
  bool wellFormed = false;  // detection found every byte well-formed UTF-8
  file.CharCode = ReadCode(bytes, &wellFormed);
  if (OnFileRead) OnFileRead(path, file.CharCode, bytes);
  if (direct) {
    // UTF-8 text, and ASCII-only text in a code that reads ASCII as itself, is
    // searched in its bytes; the text these decode to is the same.
    std::string_view text(bytes);
    const TCharCode code = file.CharCode;
    const bool hasBom = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (code == TCharCode::UTF8 && hasBom) text.remove_prefix(3);
    const bool utf8 = code == TCharCode::UTF8N || (code == TCharCode::UTF8 && hasBom);
    const bool sjis = code == TCharCode::SJIS;
    TNewLineKind kind;
    if ((utf8 || sjis) && TUtf8PlainSearch::CanSearch(text, !utf8, kind, wellFormed)) {
      // A file without the string every hit contains is not decoded at all.
      if (direct->PrefilterOnly()) {
        // Line by line only the lines holding it are decoded, unless the places are
        // kept: those share the file's decoded text when they are many.
        if (typedPattern.ByLine && !typedList.KeepPlaces)
          return direct->SearchLines(text, kind, typedPattern, typedList, path);
        if (!direct->Occurs(text)) return false;
      } else {
        return direct->Search(text, kind, typedPattern.ByLine, typedPattern.ShowLine, typedList, path);
      }
    }
  }
  TFileReadOptions options;
  options.checkCharCode = false;
  options.maxSize = MaxFileSize;
  // Only a missing BOM the code asks for fails here; such a file is skipped.
  if (file.LoadBytes(bytes, options) != TFileOperationResult::Success) return false;
  return SearchFileText<wchar_t>(typedPattern, std::wstring_view(file.Text), typedList, path);
}

int TFileSet::Replace(const TAbstractReplacingPattern& pattern, TAbstractPlaceList& list, bool doBackup,
                      const TTextChangeEvent* preview) {
  Failures.clear();
  WrittenFiles.clear();
  ReplacedPlaces = 0;
  LastBackup = TBackupReport();
  // One pass over the list: the files to rewrite and where each file's places are.
  std::set<std::string> targets;
  std::unordered_map<std::string, std::vector<int>> placesOf;
  for (int i = 0, n = list.Count(); i < n; ++i) {
    const TAbstractPlace* place = list.Item(i);
    if (place->Checked) targets.insert(place->FileName());
    placesOf[place->FileName()].push_back(i);
  }
  if (doBackup && Backup && !preview) {
    if (OnProcess) OnProcess(TProcessType::BackingUp, std::string(), 0, 0);
    // The backup reports each file it copies; a stop raised there ends the run before
    // any file is rewritten, with the copies made so far indexed.
    struct TProgressBinding {
      TBackup& backup;
      ~TProgressBinding() { backup.OnProgress.clear(); }
    } binding{*Backup};
    Backup->OnProgress = [this](const std::string& path, int index, int count) {
      if (OnProcess) OnProcess(TProcessType::BackingUp, path, index, count);
    };
    LastBackup = Backup->MakeBackup(TStringVector(targets.begin(), targets.end()));
    if (!LastBackup.Declined && !LastBackup.Complete()) {
      // No file is rewritten without its copy unless the user says so.
      if (!OnBackupFailed || !OnBackupFailed(LastBackup)) {
        if (!LastBackup.UnitName.empty()) Backup->DiscardUnit(LastBackup.UnitName);
        return 2;
      }
    }
  }
  // The places of written files leave the list in one pass at the end, also when the
  // run is stopped, so the indices above stay valid during the run.
  std::unordered_set<std::string> written;
  struct TRemoveWritten {
    TAbstractPlaceList& list;
    const std::unordered_set<std::string>& written;
    ~TRemoveWritten() {
      if (!written.empty()) list.EraseIf([this](const TAbstractPlace& p) { return written.count(p.FileName()) != 0; });
    }
  } removeWritten{list, written};

  // What each written file looks like afterwards goes into the backup unit: at the
  // end (also of a stopped run) and every few seconds on the way, so that a run
  // killed midway loses little of it.
  WrittenStates.clear();
  unrecorded_.clear();
  struct TRecordAtEnd {
    TFileSet& set;
    ~TRecordAtEnd() { set.RecordWrittenStates(); }
  } recordAtEnd{*this};
  auto lastRecord = std::chrono::steady_clock::now();

  replaceCount_ = static_cast<int>(targets.size());
  replaceIndex_ = 0;
  for (const std::string& path : Files) {
    // A path listed twice is rewritten once.
    if (targets.erase(path) == 0) continue;
    if (OnProcess) OnProcess(TProcessType::Replacing, path, replaceIndex_, replaceCount_);
    const std::vector<int>& indices = placesOf[path];
    const bool wrote = CharCode == TCharCode::ASCII ? ReplaceFileAs<char>(path, pattern, list, &indices, preview)
                                                    : ReplaceFileAs<wchar_t>(path, pattern, list, &indices, preview);
    if (wrote) {
      written.insert(path);
      WrittenFiles.push_back(path);
    }
    ++replaceIndex_;
    if (wrote && std::chrono::steady_clock::now() - lastRecord > std::chrono::seconds(2)) {
      RecordWrittenStates();
      lastRecord = std::chrono::steady_clock::now();
    }
  }
  return 0;
}

void TFileSet::RecordWrittenStates() {
  if (unrecorded_.empty()) return;
  if (Backup && !LastBackup.UnitName.empty()) Backup->RecordWritten(LastBackup.UnitName, unrecorded_);
  unrecorded_.clear();
}

void TFileSet::ReplaceFile(const std::string& path, const TAbstractReplacingPattern& pattern,
                           TAbstractPlaceList& list) {
  const bool wrote = CharCode == TCharCode::ASCII ? ReplaceFileAs<char>(path, pattern, list, nullptr)
                                                  : ReplaceFileAs<wchar_t>(path, pattern, list, nullptr);
  if (wrote) RemovePlacesOfFile(list, path);
}

template <class C>
bool TFileSet::ReplaceFileAs(const std::string& path, const TAbstractReplacingPattern& pattern,
                             TAbstractPlaceList& list, const std::vector<int>* indices,
                             const TTextChangeEvent* preview) {
  const auto& typedPattern = dynamic_cast<const TReplacingPattern<C>&>(pattern);
  TFileReadOptions options;
  options.checkCharCode = CheckCharCode;
  options.maxSize = 2147483647;
  options.keepLineEnds = true;
  const auto fail = [this, &path](TFileOperationResult result, int error, bool writeFailed, const std::string& rescue) {
    Failures.push_back(TReplaceFailure{path, result, error, writeFailed, rescue});
    return false;
  };

  // Other Mirun processes wait while this one reads, changes and writes the file. A
  // preview writes nothing, and a file is replaced whole, so it reads without waiting.
  hovrak::TFileLock lock;
  if (!preview) {
    lock.Acquire(path, [this, &path] {
      if (OnProcess) OnProcess(TProcessType::Replacing, path, replaceIndex_, replaceCount_);
    });
  }

  bool modifiedForced = false;
  // A file that keeps changing under the run is given up after a few rounds.
  for (int round = 0;; ++round) {
    if (round == 8) return fail(TFileOperationResult::ModifiedSinceSearch, 0, false, {});
    // Check and load until the file loads, is forced, or is given up.
    std::unique_ptr<TFile<C>> file;
    for (;;) {
      TDecision decision = TDecision::Force;
      if (!modifiedForced && IsModifiedSinceSearch(path)) {
        decision = AskFileError(path, TFileOperationResult::ModifiedSinceSearch);
        if (decision == TDecision::Force) modifiedForced = true;
        if (decision == TDecision::Skip) return fail(TFileOperationResult::ModifiedSinceSearch, 0, false, {});
      }
      TFileOperationResult result = TFileOperationResult::Success;
      if (decision == TDecision::Force) {
        file = TRunFile<C>::Make(path, CharCode);
        result = file->Load(options);
        if (result == TFileOperationResult::Success) break;
        decision = AskFileError(path, result, file->LastError);
        // Only a complete text can be forced: a file that was not read is skipped.
        if (decision == TDecision::Force &&
            (result == TFileOperationResult::OpenFailed || result == TFileOperationResult::TooLarge))
          decision = TDecision::Skip;
      }
      if (decision == TDecision::Force) break;
      if (decision == TDecision::Abort) throw EStoppedException();
      if (decision == TDecision::Skip) return fail(result, file ? file->LastError : 0, false, {});
      // Retry: check the time and load again.
    }

    // Only the hits change; a hit that is no longer where the search found it means
    // the file changed since, which the user decides about like a new time stamp.
    std::basic_string<C> before;
    std::vector<TSplicedHit> hits;
    if (preview) before = file->Text;
    const TSpliceResult spliced =
        SpliceReplacements<C>(typedPattern, file->Text, file->NewLine, list, path, indices, preview ? &hits : nullptr);
    if (spliced.Stale > 0 && !modifiedForced) {
      const TDecision decision = AskFileError(path, TFileOperationResult::ModifiedSinceSearch);
      if (decision == TDecision::Abort) throw EStoppedException();
      if (decision != TDecision::Force) return fail(TFileOperationResult::ModifiedSinceSearch, 0, false, {});
      modifiedForced = true;
    }
    if (spliced.Replaced == 0)
      return spliced.Stale > 0 ? fail(TFileOperationResult::ModifiedSinceSearch, 0, false, {}) : false;
    if (preview) {
      (*preview)(TTextChange::Make<C>(path, FileCodeOf(*file), file->NewLine, before, file->Text, hits));
      return false;
    }

    // Written only while the file is still as it was read; a change in between goes
    // back to the checks with the new contents.
    file->SaveOnlyIfUnchanged = true;
    bool reload = false;
    for (;;) {
      const TFileOperationResult result = file->Save();
      if (result == TFileOperationResult::Success) {
        // The file as the save left it, told by the file itself: the path may lead
        // elsewhere by now.
        const TWrittenState state = TWrittenState::FromIdentity(file->WrittenIdentity, file->WrittenHash);
        const std::string absolute = hovrak::AbsolutePath(path);
        WrittenStates[absolute] = state;
        unrecorded_[absolute] = state;
        ReplacedPlaces += spliced.Replaced;
        return true;
      }
      if (result == TFileOperationResult::ModifiedSinceSearch) {
        const TDecision decision = AskFileError(path, result);
        if (decision == TDecision::Abort) throw EStoppedException();
        if (decision != TDecision::Force) return fail(result, 0, false, {});
        modifiedForced = true;
        reload = true;
        break;
      }
      // A write failure never ends the run: anything but Retry leaves the file as it was.
      if (AskFileError(path, result, file->LastError) != TDecision::Retry)
        return fail(result, file->LastError, true, file->RescuePath);
    }
    if (!reload) return false;
  }
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

void TFileSet::RemovePlacesOfFile(TAbstractPlaceList& list, const std::string& path) {
  list.EraseIf([&path](const TAbstractPlace& p) { return p.FileName() == path; });
}
