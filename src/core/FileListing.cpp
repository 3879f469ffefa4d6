// The listing of a file set: which files of a folder (and the folders below it) the
// filters take, in the order they are visited.

#include "core/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <set>
#include <string_view>
#include <vector>

#include "core/FileFilter.h"
#include "platform/DirReader.h"
#include "platform/Wildcard.h"

using hovrak::TDirEntryKind;
using hovrak::TDirReader;

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

void TFileSet::ReportSkipped(const std::string& path, TSkipReason reason) {
  if (OnSkipped && reportedSkips_.insert(path).second) OnSkipped(path, reason);
}
