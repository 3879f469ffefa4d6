#include "backup/BackupRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "backup/Backup.h"
#include "backup/BackupUnit.h"
#include "backup/UnitMarker.h"
#include "platform/ConfinedDelete.h"
#include "platform/ContentHash.h"
#include "platform/FileDescriptor.h"
#include "platform/FileInfo.h"
#include "platform/FolderHandle.h"
#include "platform/PathOps.h"
#include "platform/SafeSave.h"
#include "platform/SettingsFolder.h"
#include "shared/StoppedException.h"
#include "text/FileOperationResult.h"

namespace {

using hovrak::TFileDescriptor;
using hovrak::TFolderHandle;

// Folders made again for a file whose folder is gone, as a program would make them.
constexpr unsigned kFolderMode = 0777;
// A file that keeps changing between check and write is given up after a few rounds.
constexpr int kMaxRounds = 8;

// Splits path into its folder and name.
void SplitLast(const std::string& path, std::string& folder, std::string& name) {
  folder = hovrak::FolderPartOf(path);
  name = hovrak::NameOf(path);
}

// Reads the copy root/unitName/entry without following a symbolic link at any step
// below root, so that an index or a link put into the unit cannot make the restore
// read a file from elsewhere. 0, or an errno value (ELOOP for a link, EINVAL for
// something other than a plain file).
int ReadCopy(const std::string& root, const std::string& unitName, const std::string& entry, std::string& bytes,
             struct stat& st) {
  if (!hovrak::IsPlainName(unitName) || !hovrak::IsConfinedRelativePath(entry)) return EINVAL;
  std::string folderPart, name;
  SplitLast(entry, folderPart, name);
  TFolderHandle folder;
  if (const int err = folder.OpenBelow(root, unitName + "/" + folderPart)) return err == ENOTDIR ? ELOOP : err;
  TFileDescriptor file(folder.OpenEntry(name, O_RDONLY | O_NONBLOCK));
  if (file.Get() < 0) return errno;
  if (::fstat(file.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  return hovrak::ReadToEnd(file.Get(), bytes);
}

// Reads the plain file name of folder, if it is one; its state goes to identity.
bool ReadEntry(const TFolderHandle& folder, const std::string& name, std::string& bytes,
               hovrak::TFileIdentity& identity) {
  TFileDescriptor file(folder.OpenEntry(name, O_RDONLY | O_NONBLOCK));
  struct stat st;
  if (file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  identity = hovrak::TFileIdentity::FromStat(st);
  return hovrak::ReadToEnd(file.Get(), bytes) == 0;
}

// The path of a folder without trailing slashes ("/" stays).
std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

TBackupRestore::TBackupRestore(TBackup& store) : HomeFolder(hovrak::UserHomeFolder()), store_(store) {}

bool TBackupRestore::IsOwnFolder(const std::string& base, const std::string& home) {
  const std::string b = Trimmed(hovrak::AbsolutePath(base));
  const std::string h = Trimmed(home);
  if (b == "/" || h.empty() || h == "/" || h[0] != '/') return false;
  return b == h || b.compare(0, h.size() + 1, h + "/") == 0;
}

TDecision TBackupRestore::Ask(const std::string& path, TRestoreProblem problem, int error) {
  Problem = problem;
  LastError = error;
  if (!OnFileError) return TDecision::Skip;
  const bool changed = problem == TRestoreProblem::Modified || problem == TRestoreProblem::NotRecorded ||
                       problem == TRestoreProblem::Link;
  return OnFileError(path, changed ? TFileOperationResult::ModifiedSinceSearch : TFileOperationResult::OpenFailed,
                     error);
}

void TBackupRestore::Progress(TProcessType type, const std::string& path, int index, int count) {
  if (OnProcess) OnProcess(type, path, index, count);
}

bool TBackupRestore::OldUnitAllowed(const TBackupUnit& unit, TRestoreReport& report) {
  if (oldUnitVerdict_ == 0) {
    // Such a unit can only say where its base folder was: one at the root of the
    // system or outside the user's folders needs the user's explicit word.
    const bool baseNamed = !AllowedBase.empty() &&
                           Trimmed(hovrak::AbsolutePath(AllowedBase)) == Trimmed(hovrak::AbsolutePath(unit.BaseDir));
    if (!IsOwnFolder(unit.BaseDir, HomeFolder) && !baseNamed) {
      report.BaseRefused = true;
      oldUnitVerdict_ = -1;
    } else if (!OnConfirmOldUnit || !OnConfirmOldUnit(unit)) {
      report.OldUnitDeclined = true;
      oldUnitVerdict_ = -1;
    } else {
      oldUnitVerdict_ = 1;
    }
  }
  return oldUnitVerdict_ > 0;
}

TBackupRestore::TVerdict TBackupRestore::Check(const TBackupUnit& unit, const std::string& copy, TPlanned& plan,
                                               TRestoreReport& report) {
  for (;;) {
    TFolderHandle folder;
    const int folderErr = folder.OpenBelow(plan.Base, plan.Folder);
    hovrak::TFileIdentity now;
    TRestoreProblem problem;
    int error = 0;
    struct stat st;
    if (folderErr == ENOENT) {
      problem = TRestoreProblem::FolderMissing;
    } else if (folderErr == ELOOP || folderErr == ENOTDIR) {
      problem = TRestoreProblem::LinkedFolder;
    } else if (folderErr != 0) {
      problem = TRestoreProblem::WriteFailed;
      error = folderErr;
    } else if (const int statErr = folder.Stat(plan.Name, st)) {
      problem = statErr == ENOENT ? TRestoreProblem::Missing : TRestoreProblem::WriteFailed;
      if (statErr != ENOENT) error = statErr;
    } else if (S_ISLNK(st.st_mode)) {
      // Never followed: the link is only looked at itself.
      now = hovrak::TFileIdentity::FromStat(st);
      problem = TRestoreProblem::Link;
    } else {
      now = hovrak::TFileIdentity::FromStat(st);
      std::string bytes;
      hovrak::TFileIdentity read;
      const bool isFile = S_ISREG(st.st_mode) && ReadEntry(folder, plan.Name, bytes, read);
      if (isFile && bytes == copy) return TVerdict::Unchanged;
      const TWrittenState recorded = unit.WrittenOf(plan.Entry);
      if (!isFile) {
        problem = TRestoreProblem::Modified;  // a folder or a special file took its place
      } else if (!recorded.Known()) {
        problem = TRestoreProblem::NotRecorded;
      } else if (recorded != TWrittenState::FromIdentity(read) ||
                 (recorded.HashKnown && recorded.Hash != hovrak::TContentHash::Of(bytes))) {
        // Same size and time but other bytes: an edit that kept them (cp -p, touch -r).
        problem = TRestoreProblem::Modified;
      } else {
        plan.Expected = read;
        plan.ReplaceLink = false;
        return TVerdict::Write;
      }
    }
    // A unit without records writes nothing unless that is allowed first: then no
    // question about its files is asked in vain.
    if (!unit.HasRecords() && IsForcible(problem) && !OldUnitAllowed(unit, report)) return TVerdict::Skip;
    switch (Ask(plan.Target, problem, error)) {
      case TDecision::Retry: continue;
      case TDecision::Skip: return TVerdict::Skip;
      case TDecision::Abort: throw EStoppedException();
      case TDecision::Force:
        if (!IsForcible(problem)) {
          if (problem == TRestoreProblem::LinkedFolder) report.Unreachable.push_back(plan.Target);
          else report.WriteFailures.push_back({plan.Target, error});
          return TVerdict::Failed;
        }
        plan.Expected = now;
        plan.CreateFolders = problem == TRestoreProblem::FolderMissing;
        plan.ReplaceLink = problem == TRestoreProblem::Link;
        return TVerdict::Write;
    }
  }
}

void TBackupRestore::WriteBack(const TBackupUnit& unit, TPlanned plan, int index, int count, TRestoreReport& report,
                               bool grouped, int failed) {
  const std::string& entry = unit.Files[plan.Entry];
  for (int round = 0;; ++round) {
    if (round == kMaxRounds) {
      report.WriteFailures.push_back({plan.Target, ESTALE});
      return;
    }
    Progress(TProcessType::Replacing, plan.Target, index, count);
    std::string bytes;
    struct stat copyStat;
    if (const int err = ReadCopy(store_.Folder(), unit.Name, entry, bytes, copyStat)) {
      report.MissingCopies.push_back({plan.Target, err});
      return;
    }
    if (!unit.CopySumOf(plan.Entry).Matches(bytes)) {
      report.DamagedCopies.push_back(plan.Target);
      return;
    }
    int err = failed;
    failed = 0;
    if (!err) {
      // The folder is held from here on: every later step goes through it.
      TFolderHandle folder;
      if (plan.CreateFolders) {
        err = hovrak::CreateFoldersReporting(plan.Base, kFolderMode);
        if (!err) err = folder.OpenBelow(plan.Base, plan.Folder, true, kFolderMode);
      } else {
        err = folder.OpenBelow(plan.Base, plan.Folder);
      }
      if (!err) {
        // Other Mirun runs wait while the file is checked and written; before this
        // run waits for another, it puts its group in place and lets go of its locks.
        auto lock = std::make_unique<hovrak::TFileLock>();
        lock->AcquireAt(folder, plan.Name, [&] {
          CommitWrites(unit, report);
          Progress(TProcessType::Replacing, plan.Target, index, count);
        });
        hovrak::TSafeWriteOptions options;
        options.Expected = plan.Expected;
        options.ReplaceLink = plan.ReplaceLink;
        // The copy's permission bits and times come back with its bytes, set on the
        // new file before it takes the name.
        options.Mode = static_cast<int>(copyStat.st_mode & 07777);
        const timespec times[2] = {copyStat.st_atim, copyStat.st_mtim};
        options.Times = times;
        hovrak::TFileIdentity written;
        std::uint64_t hash = 0;
        options.Written = &written;
        options.Hash = &hash;
        options.Group = grouped ? &group_ : nullptr;
        err = hovrak::SafeWriteAt(folder, plan.Name, bytes.data(), bytes.size(), options);
        if (!err && grouped) {
          pending_.push_back(TPendingWrite{std::move(lock), plan, index, count});
          return;
        }
        if (!err) {
          written_[plan.Target] = TWrittenState::FromIdentity(written, hash);
          ++report.Restored;
          return;
        }
      }
    }
    // The questions below come after those of the files before this one.
    CommitWrites(unit, report);
    // Changed between the check and now (or a folder or link took its place): the
    // same questions again.
    if (err == ESTALE || err == ELOOP || err == ENOTDIR || (err == ENOENT && !plan.CreateFolders)) {
      switch (Check(unit, bytes, plan, report)) {
        case TVerdict::Unchanged: ++report.Unchanged; return;
        case TVerdict::Skip: report.Skipped.push_back(plan.Target); return;
        case TVerdict::Failed: return;
        case TVerdict::Write: grouped = false; continue;
      }
    }
    const TDecision decision = Ask(plan.Target, TRestoreProblem::WriteFailed, err);
    if (decision == TDecision::Abort) throw EStoppedException();
    if (decision != TDecision::Retry) {
      report.WriteFailures.push_back({plan.Target, err});
      return;
    }
    grouped = false;
  }
}

void TBackupRestore::CommitWrites(const TBackupUnit& unit, TRestoreReport& report, bool ask) {
  if (pending_.empty()) return;
  std::vector<TPendingWrite> pending = std::move(pending_);
  pending_.clear();
  const std::vector<hovrak::TSaveGroup::TResult> results = group_.Commit();
  // Those written first, so that a stop answered below loses none of them.
  std::vector<std::size_t> failed;
  for (std::size_t i = 0; i < pending.size() && i < results.size(); ++i) {
    if (results[i].Error != 0) {
      failed.push_back(i);
      continue;
    }
    written_[pending[i].Plan.Target] = TWrittenState::FromIdentity(results[i].Written, results[i].Hash);
    ++report.Restored;
  }
  for (std::size_t n = 0; n < failed.size(); ++n) {
    TPendingWrite& write = pending[failed[n]];
    const int err = results[failed[n]].Error;
    write.Lock.reset();
    if (!ask) {
      report.WriteFailures.push_back({write.Plan.Target, err});
      continue;
    }
    try {
      WriteBack(unit, write.Plan, write.Index, write.Count, report, false, err);
    } catch (...) {
      for (std::size_t m = n + 1; m < failed.size(); ++m)
        report.WriteFailures.push_back({pending[failed[m]].Plan.Target, results[failed[m]].Error});
      throw;
    }
  }
}

TRestoreReport TBackupRestore::Run(const std::string& name) {
  TRestoreReport report;
  written_.clear();
  oldUnitVerdict_ = 0;
  const TBackupUnit* listed = store_.FindUnit(name);
  if (!listed || !listed->IsConfined()) return report;
  report.Found = true;
  // A copy: a change of the index (another run's backup) replaces the list.
  const TBackupUnit unit = *listed;
  if (!unit.Restored.is_special() && (!OnConfirmAgain || !OnConfirmAgain(unit))) {
    report.RestoredBefore = true;
    return report;
  }

  // Pruning by the backup below must not take the unit being read, nor may pruning
  // by another run: its mark is held while the restore runs.
  struct TKeep {
    TBackup& store;
    std::string name;
    bool added;
    ~TKeep() {
      if (added) store.KeptUnits.erase(name);
    }
  } keep{store_, name, store_.KeptUnits.insert(name).second};
  TUnitMarker inUse;
  inUse.HoldShared(store_.Folder(), name);

  std::string backupUnit;
  try {
    const std::vector<TPlanned> plan = Plan(unit, report);
    if (!BackUpOverwritten(plan, report, backupUnit)) return report;
    // The files go back in groups made durable together (TSaveGroup).
    try {
      for (std::size_t i = 0; i < plan.size(); ++i) {
        WriteBack(unit, plan[i], static_cast<int>(i), static_cast<int>(plan.size()), report, true);
        if (group_.Full()) CommitWrites(unit, report);
      }
      CommitWrites(unit, report);
    } catch (...) {
      // A stop puts the files written whole so far in place; nothing more is asked.
      CommitWrites(unit, report, false);
      throw;
    }
  } catch (const EStoppedException&) {
    report.Stopped = true;
  }
  RecordOutcome(name, backupUnit, report);
  return report;
}

std::vector<TBackupRestore::TPlanned> TBackupRestore::Plan(const TBackupUnit& unit, TRestoreReport& report) {
  // First every file is checked and every question asked, so that the backup
  // before the writes holds exactly the files that will be overwritten.
  std::vector<TPlanned> plan;
  const int count = static_cast<int>(unit.Files.size());
  const std::string base = unit.BaseDir.empty() || unit.BaseDir.back() == '/' ? unit.BaseDir : unit.BaseDir + "/";
  for (std::size_t k = 0; k < unit.Files.size(); ++k) {
    TPlanned item;
    item.Entry = k;
    item.Target = unit.OriginalPath(k);
    // Below the base folder links are no longer followed.
    if (item.Target.empty() || item.Target.compare(0, base.size(), base) != 0 || base.empty()) {
      report.Refused.push_back(unit.Files[k]);
      continue;
    }
    item.Base = unit.BaseDir;
    SplitLast(item.Target.substr(base.size()), item.Folder, item.Name);
    Progress(TProcessType::Searching, item.Target, static_cast<int>(k), count);
    std::string copy;
    struct stat copyStat;
    if (const int err = ReadCopy(store_.Folder(), unit.Name, unit.Files[k], copy, copyStat)) {
      report.MissingCopies.push_back({item.Target, err});
      continue;
    }
    // A copy no longer as it was made would write damage over the file.
    if (!unit.CopySumOf(k).Matches(copy)) {
      report.DamagedCopies.push_back(item.Target);
      continue;
    }
    switch (Check(unit, copy, item, report)) {
      case TVerdict::Unchanged: ++report.Unchanged; break;
      case TVerdict::Skip: report.Skipped.push_back(item.Target); break;
      case TVerdict::Failed: break;
      case TVerdict::Write: plan.push_back(item); break;
    }
  }
  return plan;
}

bool TBackupRestore::BackUpOverwritten(const std::vector<TPlanned>& plan, TRestoreReport& report,
                                       std::string& backupUnit) {
  // The files about to be overwritten; a link that gives way to its file is no
  // file of the user's and is not copied (nor what it points to).
  TStringVector overwritten;
  for (const TPlanned& item : plan)
    if (!item.ReplaceLink && hovrak::PathKind(item.Target) == 1) overwritten.push_back(item.Target);
  if (overwritten.empty()) return true;
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
  if (report.Backup.Declined || report.Backup.Complete() || (OnBackupFailed && OnBackupFailed(report.Backup)))
    return true;
  if (!backupUnit.empty()) store_.DiscardUnit(backupUnit);
  report.BackupFailed = true;
  return false;
}

void TBackupRestore::RecordOutcome(const std::string& name, const std::string& backupUnit, TRestoreReport& report) {
  // The index learns what was done, also after a stop: the unit is marked, and the
  // new unit knows the state each file was left in, so it restores without questions.
  if (report.Restored > 0) report.IndexError = store_.MarkRestored(name, store_.Now());
  if (!backupUnit.empty() && !written_.empty()) {
    if (const int err = store_.RecordWritten(backupUnit, written_)) report.IndexError = err;
  }
}
