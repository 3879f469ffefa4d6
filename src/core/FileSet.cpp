#include "core/FileSet.h"

#include <set>
#include <vector>

#include "platform/DirReader.h"
#include "platform/FileInfo.h"
#include "platform/Wildcard.h"

using hovrak::TDirEntryKind;
using hovrak::TDirReader;

void TFileSet::SetFiles(const TStringVector& paths) { Files = paths; }

void TFileSet::AddFolder(const std::string& folder, const TStringVector& filters, bool subFolders) {
  AddFolderFiles(folder, filters);
  if (subFolders) {
    ForEachSubFolder(folder, [this, &filters](const std::string& sub) {
      return AddFolderFiles(sub, filters);
    });
  }
}

bool TFileSet::AddFolderFiles(const std::string& folder, const TStringVector& filters) {
  if (OnProcess) OnProcess(TProcessType::Listing, folder, 0, static_cast<int>(Files.size()));
  // The set sorts the folder's files and drops those that several filters match.
  std::set<std::string> found;
  const TPathReceiver insert = [&found](const std::string& path) {
    found.insert(path);
    return true;
  };
  for (const std::string& filter : filters) ForEachFile(folder, filter, insert);
  Files.insert(Files.end(), found.begin(), found.end());
  return true;
}

bool TFileSet::ForEachSubFolder(const std::string& folder, const TPathReceiver& receiver) {
  // Names are collected first so that no folder stays open while the walk descends:
  // a deep tree would otherwise hold one descriptor per level.
  std::vector<std::string> subs;
  {
    TDirReader reader(folder);
    while (reader.Next())
      if (reader.Kind() == TDirEntryKind::Folder) subs.push_back(JoinPath(folder, reader.Name()));
  }
  for (const std::string& sub : subs) {
    if (!receiver(sub)) return false;
    if (!ForEachSubFolder(sub, receiver)) return false;
  }
  return true;
}

bool TFileSet::ForEachFile(const std::string& folder, const std::string& pattern,
                           const TPathReceiver& receiver) {
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
    if (!receiver(directory + reader.Name())) return false;
  }
  return true;
}

std::string TFileSet::JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

int TFileSet::GetPathKind(const std::string& path) { return hovrak::PathKind(path); }

boost::posix_time::ptime TFileSet::GetLastWriteTime(const std::string& path) {
  return hovrak::LastWriteTime(path);
}
