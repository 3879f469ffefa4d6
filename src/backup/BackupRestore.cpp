#include "backup/BackupRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "backup/Backup.h"
#include "backup/BackupUnit.h"
#include "core/StoppedException.h"
#include "platform/ConfinedDelete.h"
#include "platform/FileDescriptor.h"
#include "platform/FileInfo.h"
#include "platform/FileLock.h"
#include "platform/PathOps.h"
#include "platform/SafeSave.h"
#include "text/FileOperationResult.h"

namespace {

using hovrak::TFileDescriptor;

// Folders made again for a file whose folder is gone, as a program would make them.
constexpr unsigned kFolderMode = 0777;

int ReadAll(int fd, std::string& bytes) {
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// Reads the copy root/unitName/entry without following a symbolic link at any step
// below root, so that an index or a link put into the unit cannot make the restore
// read a file from elsewhere. 0, or an errno value (ELOOP for a link, EINVAL for
// something other than a plain file).
int ReadCopy(const std::string& root, const std::string& unitName, const std::string& entry, std::string& bytes,
             struct stat& st) {
  if (!hovrak::IsPlainName(unitName) || !hovrak::IsConfinedRelativePath(entry)) return EINVAL;
  // One folder open at a time, each opened from the one before.
  std::unique_ptr<TFileDescriptor> folder =
      std::make_unique<TFileDescriptor>(::open(root.empty() ? "." : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder->Get() < 0) return errno;
  std::vector<std::string> parts{unitName};
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = entry.find('/', start);
    const std::string part = entry.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    auto next = std::make_unique<TFileDescriptor>(
        ::openat(folder->Get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (next->Get() < 0) return errno == ENOTDIR ? ELOOP : errno;
    folder = std::move(next);
  }
  TFileDescriptor file(
      ::openat(folder->Get(), parts.back().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) return errno;
  if (::fstat(file.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  return ReadAll(file.Get(), bytes);
}

// True when path is a plain file holding exactly these bytes.
bool HoldsBytes(const std::string& path, const std::string& bytes) {
  TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) return false;
  struct stat st;
  if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<std::uint64_t>(st.st_size) != bytes.size()) return false;
  std::string now;
  return ReadAll(file.Get(), now) == 0 && now == bytes;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

TDecision TBackupRestore::Ask(const std::string& path, TRestoreProblem problem, int error) {
  Problem = problem;
  LastError = error;
  if (!OnFileError) return TDecision::Skip;
  const bool changed = problem == TRestoreProblem::Modified || problem == TRestoreProblem::NotRecorded;
  return OnFileError(path, changed ? TFileOperationResult::ModifiedSinceSearch : TFileOperationResult::OpenFailed,
                     error);
}

void TBackupRestore::Progress(TProcessType type, const std::string& path, int index, int count) {
  if (OnProcess) OnProcess(type, path, index, count);
}

TBackupRestore::TVerdict TBackupRestore::Check(const TBackupUnit& unit, const std::string& copy, TPlanned& plan) {
  for (;;) {
    const hovrak::TFileIdentity now = hovrak::TFileIdentity::OfPath(plan.Target);
    TRestoreProblem problem;
    if (!now.Known()) {
      problem = hovrak::PathKind(ParentOf(plan.Target)) == 2 ? TRestoreProblem::Missing
                                                             : TRestoreProblem::FolderMissing;
    } else if (HoldsBytes(plan.Target, copy)) {
      return TVerdict::Unchanged;
    } else {
      const TWrittenState recorded = unit.WrittenOf(plan.Entry);
      if (!recorded.Known()) {
        problem = TRestoreProblem::NotRecorded;
      } else if (recorded != TWrittenState::FromIdentity(now)) {
        problem = TRestoreProblem::Modified;
      } else {
        plan.Expected = now;
        return TVerdict::Write;
      }
    }
    switch (Ask(plan.Target, problem, 0)) {
      case TDecision::Retry: continue;
      case TDecision::Skip: return TVerdict::Skip;
      case TDecision::Abort: throw EStoppedException();
      case TDecision::Force:
        plan.Expected = now;
        plan.CreateFolders = problem == TRestoreProblem::FolderMissing;
        return TVerdict::Write;
    }
  }
}

void TBackupRestore::WriteBack(const TBackupUnit& unit, TPlanned plan, int index, int count,
                               TRestoreReport& report) {
  const std::string& entry = unit.Files[plan.Entry];
  for (;;) {
    Progress(TProcessType::Replacing, plan.Target, index, count);
    // Other Mirun runs wait while the file is checked and written.
    hovrak::TFileLock lock;
    lock.Acquire(plan.Target, [&] { Progress(TProcessType::Replacing, plan.Target, index, count); });
    std::string bytes;
    struct stat copyStat;
    if (const int err = ReadCopy(store_.Folder(), unit.Name, entry, bytes, copyStat)) {
      report.MissingCopies.push_back({plan.Target, err});
      return;
    }
    int err = plan.CreateFolders ? hovrak::CreateFoldersReporting(ParentOf(plan.Target), kFolderMode) : 0;
    if (!err) {
      hovrak::TSafeWriteOptions options;
      options.Expected = plan.Expected;
      err = hovrak::SafeWriteFile(plan.Target, bytes, options);
    }
    if (!err) {
      // The copy's permission bits and times come back with its bytes.
      ::chmod(plan.Target.c_str(), copyStat.st_mode & 07777);
      const timespec times[2] = {copyStat.st_atim, copyStat.st_mtim};
      ::utimensat(AT_FDCWD, plan.Target.c_str(), times, 0);
      written_[hovrak::AbsolutePath(plan.Target)] = TWrittenState::OfPath(plan.Target);
      ++report.Restored;
      return;
    }
    if (err == ESTALE) {
      // Changed between the check and now: the same questions again.
      switch (Check(unit, bytes, plan)) {
        case TVerdict::Unchanged: ++report.Unchanged; return;
        case TVerdict::Skip: report.Skipped.push_back(plan.Target); return;
        case TVerdict::Write: continue;
      }
    }
    const TDecision decision = Ask(plan.Target, TRestoreProblem::WriteFailed, err);
    if (decision == TDecision::Abort) throw EStoppedException();
    if (decision != TDecision::Retry) {
      report.WriteFailures.push_back({plan.Target, err});
      return;
    }
  }
}

TRestoreReport TBackupRestore::Run(const std::string& name) {
  TRestoreReport report;
  written_.clear();
  const TBackupUnit* listed = store_.FindUnit(name);
  if (!listed || !listed->IsConfined()) return report;
  report.Found = true;
  // A copy: a change of the index (another run's backup) replaces the list.
  const TBackupUnit unit = *listed;
  if (!unit.Restored.is_special() && (!OnConfirmAgain || !OnConfirmAgain(unit))) {
    report.RestoredBefore = true;
    return report;
  }

  // Pruning by the backup below must not take the unit being read.
  struct TKeep {
    TBackup& store;
    std::string name;
    bool added;
    ~TKeep() {
      if (added) store.KeptUnits.erase(name);
    }
  } keep{store_, name, store_.KeptUnits.insert(name).second};

  std::string backupUnit;
  try {
    // First every file is checked and every question asked, so that the backup
    // below holds exactly the files that will be overwritten.
    std::vector<TPlanned> plan;
    const int count = static_cast<int>(unit.Files.size());
    for (std::size_t k = 0; k < unit.Files.size(); ++k) {
      TPlanned item;
      item.Entry = k;
      item.Target = unit.OriginalPath(k);
      if (item.Target.empty()) {
        report.Refused.push_back(unit.Files[k]);
        continue;
      }
      Progress(TProcessType::Searching, item.Target, static_cast<int>(k), count);
      std::string copy;
      struct stat copyStat;
      if (const int err = ReadCopy(store_.Folder(), unit.Name, unit.Files[k], copy, copyStat)) {
        report.MissingCopies.push_back({item.Target, err});
        continue;
      }
      switch (Check(unit, copy, item)) {
        case TVerdict::Unchanged: ++report.Unchanged; break;
        case TVerdict::Skip: report.Skipped.push_back(item.Target); break;
        case TVerdict::Write: plan.push_back(item); break;
      }
    }

    TStringVector overwritten;
    for (const TPlanned& item : plan)
      if (hovrak::PathKind(item.Target) == 1) overwritten.push_back(item.Target);
    if (!overwritten.empty()) {
      Progress(TProcessType::BackingUp, std::string(), 0, 0);
      struct TProgressBinding {
        TBackup& store;
        ~TProgressBinding() { store.OnProgress.clear(); }
      } binding{store_};
      store_.OnProgress = [this](const std::string& path, int index, int total) {
        Progress(TProcessType::BackingUp, path, index, total);
      };
      report.Backup = store_.MakeBackup(overwritten);
      backupUnit = report.Backup.UnitName;
      if (!report.Backup.Declined && !report.Backup.Complete() &&
          (!OnBackupFailed || !OnBackupFailed(report.Backup))) {
        if (!backupUnit.empty()) store_.DiscardUnit(backupUnit);
        report.BackupFailed = true;
        return report;
      }
    }

    for (std::size_t i = 0; i < plan.size(); ++i)
      WriteBack(unit, plan[i], static_cast<int>(i), static_cast<int>(plan.size()), report);
  } catch (const EStoppedException&) {
    report.Stopped = true;
  }

  // The index learns what was done, also after a stop: the unit is marked, and the
  // new unit knows the state each file was left in, so it restores without questions.
  if (report.Restored > 0) report.IndexError = store_.MarkRestored(name, store_.Now());
  if (!backupUnit.empty() && !written_.empty()) {
    if (const int err = store_.RecordWritten(backupUnit, written_)) report.IndexError = err;
  }
  return report;
}
