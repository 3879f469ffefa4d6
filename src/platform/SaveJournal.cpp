#include "platform/SaveJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <set>

#include "platform/ContentHash.h"
#include "platform/EscapedText.h"
#include "platform/FileDescriptor.h"
#include "platform/FileLock.h"
#include "platform/FolderHandle.h"
#include "platform/PathOps.h"

namespace hovrak {

namespace {

// Journal files are named so; nothing else in the folder is touched.
const char* const kJournalPrefix = "journal-";
// A journal with nothing open is emptied once it has grown this much.
constexpr off_t kCompactSize = 64 * 1024;

// One line per event: a letter, then tab-separated escaped fields.
//   T path                  temporary file about to be made (its end is not written:
//                           a name gone, renamed into place or removed, is nothing
//                           to tidy up, and the journal is emptied once nothing is open)
//   t path                  the name of a T record was taken by another file
//   R target copy device inode oldSize oldHash newSize newHash
//                           old bytes of target kept whole in copy
//   r copy                  in-place rewrite over
std::string Line(char kind, const std::vector<std::string>& fields) {
  std::string line(1, kind);
  for (const std::string& field : fields) {
    line += '\t';
    line += EscapeControls(field);
  }
  return line + '\n';
}

class TJournal {
 public:
  ~TJournal() {
    std::lock_guard<std::mutex> lock(mutex_);
    // A normal end with nothing open leaves no journal behind.
    if (fd_.Get() >= 0 && owner_ == ::getpid() && open_ == 0) ::unlink(path_.c_str());
  }

  void SetFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_.Get() >= 0 && owner_ == ::getpid() && open_ == 0) ::unlink(path_.c_str());
    fd_.Reset();
    folder_ = folder;
    open_ = 0;
    written_ = 0;
  }

  // Appends a record (none when kind is 0) and counts what it opens or ends.
  void Write(char kind, const std::vector<std::string>& fields, int change, bool durable) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Ready()) return;
    if (kind == 0) {
      Count(change);
      return;
    }
    const std::string line = Line(kind, fields);
    // One write of an O_APPEND file: the line lands whole at the end.
    ssize_t n;
    do n = ::write(fd_.Get(), line.data(), line.size());
    while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(line.size())) return;
    written_ += static_cast<off_t>(line.size());
    if (durable) ::fdatasync(fd_.Get());
    Count(change);
  }

 private:
  // Keeps count of what is open; once nothing is, a journal grown large is emptied.
  void Count(int change) {
    open_ += change;
    if (open_ <= 0) {
      open_ = 0;
      if (written_ >= kCompactSize && ::ftruncate(fd_.Get(), 0) == 0) written_ = 0;
    }
  }

  // The journal file of this process, made on first use. A forked child gets one of
  // its own: the parent's lock is not the child's.
  bool Ready() {
    if (folder_.empty()) return false;
    const pid_t self = ::getpid();
    if (fd_.Get() >= 0 && owner_ == self) return true;
    if (owner_ != self) {
      fd_.Reset();
      open_ = 0;
      written_ = 0;
    }
    owner_ = self;
    if (failed_ == owner_) return false;
    if (CreateFoldersReporting(folder_, 0700) != 0) {
      failed_ = owner_;
      return false;
    }
    for (int attempt = 0; attempt < 10; ++attempt) {
      const std::string path =
          folder_ + "/" + kJournalPrefix + std::to_string(owner_) + "-" + TFolderHandle::RandomSuffix();
      TFileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
      if (fd.Get() < 0) {
        if (errno == EEXIST) continue;
        break;
      }
      // A tidying process may have taken the new file for a dead one's: whoever locks
      // it first decides, and a file it removed meanwhile is not used.
      struct stat st;
      if (LockDescriptor(fd.Get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.Get(), &st) != 0 || st.st_nlink == 0) continue;
      fd_ = std::move(fd);
      path_ = path;
      return true;
    }
    failed_ = owner_;
    return false;
  }

  std::mutex mutex_;
  std::string folder_;
  std::string path_;
  TFileDescriptor fd_;
  pid_t owner_ = 0;
  pid_t failed_ = 0;
  int open_ = 0;
  off_t written_ = 0;
};

TJournal& Journal() {
  static TJournal journal;
  return journal;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

struct TRescue {
  std::string Target, Copy;
  std::uint64_t Device = 0, Inode = 0, OldHash = 0, NewHash = 0;
  std::int64_t OldSize = -1, NewSize = -1;
  std::string Line;
};

bool ParseRescue(const std::vector<std::string>& fields, TRescue& r) {
  if (fields.size() != 9) return false;
  std::string values[8];
  for (int i = 0; i < 8; ++i)
    if (!UnescapeControls(fields[static_cast<std::size_t>(i) + 1], values[i])) return false;
  try {
    r.Target = values[0];
    r.Copy = values[1];
    r.Device = std::stoull(values[2]);
    r.Inode = std::stoull(values[3]);
    r.OldSize = std::stoll(values[4]);
    r.NewSize = std::stoll(values[6]);
  } catch (const std::exception&) {
    return false;
  }
  return TContentHash::Parse(values[5], r.OldHash) && TContentHash::Parse(values[7], r.NewHash);
}

enum class TOutcome { Done, Later, Report };

// Puts a torn file right from the copy of its old bytes. Done when nothing is left
// to do (the copy is gone), Later when another process holds the file, Report when
// the user must hear of it (out says what).
TOutcome Repair(const TRescue& r, TRecoveredSave& out) {
  out.Path = r.Target;
  out.CopyPath = r.Copy;
  const auto keep = [&](int error) {
    out.Kind = TRecoveredSave::TKind::CopyKept;
    out.Error = error;
    return TOutcome::Report;
  };
  TFileDescriptor copy(::open(r.Copy.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (copy.Get() < 0) return errno == ENOENT ? TOutcome::Done : keep(errno);
  std::string old;
  const bool copyWhole = ReadToEnd(copy.Get(), old) == 0 && static_cast<std::int64_t>(old.size()) == r.OldSize &&
                         TContentHash::Of(old) == r.OldHash;

  TFileDescriptor file(::open(r.Target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) return keep(errno);
  struct stat st;
  if (::fstat(file.Get(), &st) != 0) return keep(errno);
  // Another file under the name now: what is there is someone's newer work.
  if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_dev) != r.Device ||
      static_cast<std::uint64_t>(st.st_ino) != r.Inode)
    return keep(ESTALE);
  if (LockDescriptor(file.Get(), LOCK_EX | LOCK_NB) != 0) return TOutcome::Later;
  std::string now;
  if (const int err = ReadToEnd(file.Get(), now)) return keep(err);
  const std::int64_t size = static_cast<std::int64_t>(now.size());
  const std::uint64_t hash = TContentHash::Of(now);
  const bool whole = (size == r.NewSize && hash == r.NewHash) || (size == r.OldSize && hash == r.OldHash);
  if (!whole) {
    if (!copyWhole) return keep(EIO);
    int err = WriteAllAt(file.Get(), old.data(), old.size(), 0);
    if (!err && ::ftruncate(file.Get(), static_cast<off_t>(old.size())) != 0) err = errno;
    if (!err && ::fsync(file.Get()) != 0) err = errno;
    if (err) return keep(err);
  }
  ::unlink(r.Copy.c_str());
  if (whole) return TOutcome::Done;
  out.Kind = TRecoveredSave::TKind::Repaired;
  return TOutcome::Report;
}

// Handles one journal of an ended process; the lines still open go back into it.
void RecoverJournal(int fd, std::vector<TRecoveredSave>& report, bool& empty) {
  std::string bytes;
  if (::lseek(fd, 0, SEEK_SET) != 0 || ReadToEnd(fd, bytes) != 0) return;
  std::map<std::string, std::string> temps;  // path -> its line
  std::map<std::string, TRescue> rescues;    // copy -> record
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) break;  // a line cut by the kill
    const std::string line = bytes.substr(start, end - start);
    start = end + 1;
    const std::vector<std::string> fields = SplitFields(line);
    if (fields[0].size() != 1) continue;
    std::string path;
    if (fields.size() == 2 && UnescapeControls(fields[1], path)) {
      if (fields[0] == "T") temps[path] = line;
      else if (fields[0] == "t") temps.erase(path);
      else if (fields[0] == "r") rescues.erase(path);
      continue;
    }
    TRescue rescue;
    if (fields[0] == "R" && ParseRescue(fields, rescue)) {
      rescue.Line = line;
      temps.erase(rescue.Copy);  // now the copy of a rescue, not a leftover
      rescues[rescue.Copy] = rescue;
    }
  }

  std::string remaining;
  for (const auto& [path, line] : temps) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (!S_ISREG(st.st_mode)) continue;  // not what the process made
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) remaining += line + '\n';
  }
  for (const auto& [copy, rescue] : rescues) {
    TRecoveredSave item;
    switch (Repair(rescue, item)) {
      case TOutcome::Done: break;
      case TOutcome::Later: remaining += rescue.Line + '\n'; break;
      case TOutcome::Report: report.push_back(item); break;
    }
  }
  empty = remaining.empty();
  if (!empty && ::ftruncate(fd, 0) == 0 && WriteAllAt(fd, remaining.data(), remaining.size(), 0) == 0) ::fsync(fd);
}

}  // namespace

void SetSaveJournalFolder(const std::string& folder) { Journal().SetFolder(folder); }

namespace SaveJournal {

void TempCreating(const std::string& path) { Journal().Write('T', {path}, 1, false); }

void TempGone(const std::string&) { Journal().Write(0, {}, -1, false); }

void TempNotMade(const std::string& path) { Journal().Write('t', {path}, -1, false); }

void RescueKept(const std::string& target, const std::string& copy, const TFileIdentity& file, std::int64_t oldSize,
                std::uint64_t oldHash, std::int64_t newSize, std::uint64_t newHash) {
  // The copy was a temporary file until now (CreateTemp); from here on it is the
  // rescue's, and RescueDone ends it.
  Journal().Write('R',
                  {target, copy, std::to_string(file.Device), std::to_string(file.Inode), std::to_string(oldSize),
                   TContentHash::Text(oldHash), std::to_string(newSize), TContentHash::Text(newHash)},
                  0, true);
}

void RescueDone(const std::string& copy) { Journal().Write('r', {copy}, -1, false); }

}  // namespace SaveJournal

std::vector<TRecoveredSave> RecoverSaveJournals(const std::string& folder) {
  std::vector<TRecoveredSave> report;
  TFolderHandle dir;
  if (dir.Open(folder) != 0) return report;
  std::vector<std::string> names;
  if (DIR* listing = ::fdopendir(::dup(dir.Fd()))) {
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name.compare(0, std::char_traits<char>::length(kJournalPrefix), kJournalPrefix) == 0) names.push_back(name);
    }
    ::closedir(listing);
  }
  for (const std::string& name : names) {
    TFileDescriptor fd(dir.OpenEntry(name, O_RDWR | O_NONBLOCK));
    struct stat st;
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // A journal whose lock is taken belongs to a process that is running.
    if (LockDescriptor(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
    bool empty = false;
    RecoverJournal(fd.Get(), report, empty);
    if (empty) ::unlinkat(dir.Fd(), name.c_str(), 0);
  }
  return report;
}

}  // namespace hovrak
