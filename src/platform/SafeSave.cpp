#include "platform/SafeSave.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ContentHash.h"
#include "platform/FileDescriptor.h"
#include "platform/FolderHandle.h"
#include "platform/PathOps.h"
#include "platform/SaveGroup.h"
#include "platform/SaveJournal.h"

namespace hovrak {

namespace {

constexpr int kMaxLinkDepth = 40;
// Longest part of the file name copied into a temporary name, so that the temporary
// name stays within NAME_MAX even for long file names.
constexpr std::size_t kMaxTempBaseLength = 200;
constexpr std::size_t kMaxWriteChunk = std::size_t(1) << 30;

TSafeSaveHook gHook = nullptr;
std::size_t gChunk = kMaxWriteChunk;

int Step(const char* name) { return gHook ? gHook(name) : 0; }

// For calls whose failure leaves nothing further to do.
inline void IgnoreResult(int) {}

// ESTALE when the entry is no longer in the expected state (a link is looked at
// itself, never followed).
int CheckUnchanged(const TFolderHandle& folder, const std::string& name, const TFileIdentity& expected) {
  if (!expected.Known()) return 0;
  struct stat st;
  if (folder.Stat(name, st) != 0) return ESTALE;
  return TFileIdentity::FromStat(st) == expected ? 0 : ESTALE;
}

std::string TempPrefix(const std::string& name, const char* tail) {
  return "." + name.substr(0, kMaxTempBaseLength) + tail;
}

// Writes in chunks, each reported to the test hook, adding each chunk to hash first
// (while its bytes are at hand) when one is given.
int WriteAll(int fd, const char* data, std::size_t size, off_t offset, TContentHash* hash = nullptr) {
  while (size > 0) {
    const std::size_t chunk = size < gChunk ? size : gChunk;
    if (hash) hash->Add(data, chunk);
    if (const int err = WriteAllAt(fd, data, chunk, offset)) return err;
    data += chunk;
    size -= chunk;
    offset += static_cast<off_t>(chunk);
    if (const int err = Step("write")) return err;
  }
  return 0;
}

int ReadAll(int fd, char* data, std::size_t size) {
  off_t offset = 0;
  while (size > 0) {
    const ssize_t n = ::pread(fd, data, size < kMaxWriteChunk ? size : kMaxWriteChunk, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;  // the file shrank under us
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return 0;
}

// The process's file-creation mask, read without changing it where the kernel tells.
mode_t CurrentUmask() {
  if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "Umask:", 6) == 0) {
        std::fclose(f);
        return static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
      }
    }
    std::fclose(f);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// Follows symbolic links from path to the file they name. exists is false when that
// file does not exist yet (also for a dangling link, whose target will be created).
int ResolveTarget(const std::string& path, std::string& target, bool& exists) {
  target = path;
  for (int depth = 0;; ++depth) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      exists = false;
      return 0;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      return 0;
    }
    if (depth == kMaxLinkDepth) return ELOOP;
    std::vector<char> buf(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096);
    const ssize_t n = ::readlink(target.c_str(), buf.data(), buf.size());
    if (n < 0) return errno;
    if (static_cast<std::size_t>(n) >= buf.size()) return ENAMETOOLONG;
    const std::string link(buf.data(), static_cast<std::size_t>(n));
    if (link.empty()) return ENOENT;
    if (link[0] == '/') {
      target = link;
    } else {
      const std::size_t pos = target.rfind('/');
      target = pos == std::string::npos ? link : target.substr(0, pos + 1) + link;
    }
  }
}

// Gives the open file the requested mode and times; 0 or an errno value. Times come
// last: every write before them moves the modification time.
int FinishFile(int fd, const TSafeWriteOptions& options) {
  if (options.Mode >= 0 && ::fchmod(fd, static_cast<mode_t>(options.Mode & 07777)) != 0) return errno;
  if (options.Times && ::futimens(fd, options.Times) != 0) return errno;
  return 0;
}

void ReportWritten(int fd, const TSafeWriteOptions& options, std::uint64_t hash) {
  if (options.Written) *options.Written = TFileIdentity::OfDescriptor(fd);
  if (options.Hash) *options.Hash = hash;
}

// Creates a new file under its final name and writes it; removes it again on failure.
int CreateInPlace(const TFolderHandle& folder, const std::string& name, const char* data, std::size_t size,
                  const TSafeWriteOptions& options) {
  const unsigned mode = options.Mode >= 0 ? static_cast<unsigned>(options.Mode & 07777) : 0666;
  TFileDescriptor fd(folder.OpenEntry(name, O_WRONLY | O_CREAT | O_EXCL, mode));
  if (fd.Get() < 0) return errno;
  TContentHash hash;
  int err = WriteAll(fd.Get(), data, size, 0, &hash);
  if (!err) err = FinishFile(fd.Get(), options);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  if (!err) ReportWritten(fd.Get(), options, hash.Value());
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  if (err) {
    ::unlinkat(folder.Fd(), name.c_str(), 0);
    return err;
  }
  folder.Sync();
  return 0;
}

// Writes bytes to a new hidden temporary file of holder and flushes it and the
// folder; its name goes to copyName. Returns 0 or an errno value.
int KeepCopy(const TFolderHandle& holder, const std::string& base, const std::string& bytes, mode_t mode,
             std::string& copyName) {
  TFileDescriptor fd(holder.CreateTemp(TempPrefix(base, ".mirun-old-"), copyName));
  if (fd.Get() < 0) return errno;
  IgnoreResult(::fchmod(fd.Get(), mode & 0600));
  int err = WriteAllAt(fd.Get(), bytes.data(), bytes.size(), 0);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  if (err) {
    holder.RemoveTemp(copyName);
    copyName.clear();
    return err;
  }
  holder.Sync();
  return 0;
}

// Rewrites an existing file through its own inode (hard links keep sharing it). A
// flushed copy of the old bytes is made first, beside the file or else in the
// temporary folder, recorded in the save journal, and removed once the new bytes are
// on disk, so a kill at any moment leaves the old bytes whole somewhere and the next
// start finds them. The new size is reserved before any byte changes, so a full
// disk or a size limit fails with the old contents intact; a later write error puts
// the old bytes back, and when even that fails the copy stays and its path goes to
// RescuePath.
int RewriteInPlace(const TFolderHandle& folder, const std::string& name, const char* data, std::size_t size,
                   const TSafeWriteOptions& options) {
  TFileDescriptor fd(folder.OpenEntry(name, O_RDWR | O_NONBLOCK));
  if (fd.Get() < 0) return errno;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  const TFileIdentity before = TFileIdentity::FromStat(st);
  if (options.Expected.Known() && before != options.Expected) return ESTALE;
  const off_t oldSize = st.st_size;

  std::string original(static_cast<std::size_t>(oldSize), '\0');
  if (const int err = ReadAll(fd.Get(), &original[0], original.size())) return err;
  // Beside the file, in the folder held; else in the temporary folder.
  TFolderHandle tmpFolder;
  const TFolderHandle* holder = &folder;
  std::string copyName;
  int err = KeepCopy(folder, name, original, st.st_mode, copyName);
  if (err) {
    const char* tmp = std::getenv("TMPDIR");
    if (tmpFolder.Open(tmp && *tmp ? tmp : "/tmp") != 0 ||
        KeepCopy(tmpFolder, name, original, st.st_mode, copyName) != 0)
      return err;
    holder = &tmpFolder;
  }
  const std::string copyPath = holder->PathOf(copyName);
  const std::uint64_t newHash = TContentHash::Of(data, size);
  SaveJournal::RescueKept(folder.PathOf(name), copyPath, before, static_cast<std::int64_t>(oldSize),
                          TContentHash::Of(original), static_cast<std::int64_t>(size), newHash);
  const auto dropCopy = [&] {
    ::unlinkat(holder->Fd(), copyName.c_str(), 0);
    SaveJournal::RescueDone(copyPath);
  };
  Step("copy");

  if (static_cast<std::size_t>(oldSize) < size) {
    int reserveErr = Step("reserve");
    if (!reserveErr) reserveErr = ::posix_fallocate(fd.Get(), 0, static_cast<off_t>(size));
    if (reserveErr) {
      IgnoreResult(::ftruncate(fd.Get(), oldSize));  // drop a partial reservation
      dropCopy();
      return reserveErr;
    }
  } else {
    Step("reserve");
  }
  err = WriteAll(fd.Get(), data, size, 0);
  if (!err && static_cast<std::size_t>(oldSize) > size && ::ftruncate(fd.Get(), static_cast<off_t>(size)) != 0)
    err = errno;
  if (!err) err = FinishFile(fd.Get(), options);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  bool restored = !err;
  if (err) {
    // The old bytes go back whole, not just the old length.
    restored = WriteAllAt(fd.Get(), original.data(), original.size(), 0) == 0 && ::ftruncate(fd.Get(), oldSize) == 0 &&
               ::fsync(fd.Get()) == 0;
  } else {
    ReportWritten(fd.Get(), options, newHash);
  }
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  Step("done");
  if (restored && !closeErr) {
    dropCopy();
  } else if (options.RescuePath) {
    // The copy stays, and so does its journal record: the next start puts the old
    // bytes back if they are still missing.
    *options.RescuePath = copyPath;
  }
  return err;
}

// Writes a temporary file beside the entry and renames it over the entry. Sets
// fallBack (and returns 0) when the in-place route should be taken instead.
// With group, the written file joins it instead and the group ends the save.
int ReplaceByRename(const TFolderHandle& folder, const std::string& name, bool exists, const struct stat& st,
                    const char* data, std::size_t size, const TSafeWriteOptions& options, bool& fallBack,
                    TSaveGroup* group = nullptr) {
  fallBack = false;
  std::string temp;
  TFileDescriptor fd(folder.CreateTemp(TempPrefix(name, "."), temp));
  if (fd.Get() < 0) {
    fallBack = true;
    return 0;
  }

  int err = 0;
  mode_t mode;
  if (exists) {
    // Owner first: a change of owner clears set-id bits that the mode then restores.
    // Where that is not allowed the new file keeps our own owner and group.
    if (::fchown(fd.Get(), st.st_uid, st.st_gid) != 0)
      IgnoreResult(::fchown(fd.Get(), static_cast<uid_t>(-1), st.st_gid));
    mode = st.st_mode & 07777;
  } else {
    mode = 0666 & ~CurrentUmask();
  }
  if (options.Mode >= 0) mode = static_cast<mode_t>(options.Mode & 07777);
  if (::fchmod(fd.Get(), mode) != 0) err = errno;
  TContentHash hash;
  if (!err) err = WriteAll(fd.Get(), data, size, 0, &hash);
  if (!err && options.Times && ::futimens(fd.Get(), options.Times) != 0) err = errno;
  if (!err && group) {
    group->Stage(folder, temp, name, std::move(fd), options.Expected, hash.Value(), size, exists);
    Step("staged");
    return 0;
  }
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  Step("done");
  // Last look before the switch: a file someone wrote meanwhile is not replaced.
  if (!err) err = CheckUnchanged(folder, name, options.Expected);
  if (!err) {
    err = folder.RenameTemp(temp, name);
    // A sticky folder lets us write the file but not replace it.
    if (err && exists && (err == EPERM || err == EACCES)) {
      fallBack = true;
      err = 0;
    }
    if (!err && !fallBack) {
      Step("renamed");
      // From here on only the open file and the folder's descriptor are used.
      ReportWritten(fd.Get(), options, hash.Value());
      fd.Close();
      folder.Sync();
      return 0;
    }
  }
  fd.Close();
  folder.RemoveTemp(temp);
  return err;
}

}  // namespace

void SetSafeSaveTestHook(TSafeSaveHook hook, std::size_t chunkSize) {
  gHook = hook;
  gChunk = chunkSize > 0 ? chunkSize : kMaxWriteChunk;
}

namespace {

int WriteAt(const TFolderHandle& folder, const std::string& name, const char* data, std::size_t size,
            const TSafeWriteOptions& options) {
  if (!folder.IsOpen()) return EBADF;
  if (name.empty() || name == "." || name == "..") return EISDIR;
  if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos) return EINVAL;
  if (size > 0 && data == nullptr) return EINVAL;
  struct stat st;
  bool exists = true;
  if (const int err = folder.Stat(name, st)) {
    if (err != ENOENT) return err;
    exists = false;
  }
  if (exists && S_ISLNK(st.st_mode)) {
    if (!options.ReplaceLink) return ELOOP;
    // The link itself is what gets replaced; what it points to is never opened.
    if (options.Expected.Known() && TFileIdentity::FromStat(st) != options.Expected) return ESTALE;
    bool fallBack = false;
    const int err = ReplaceByRename(folder, name, false, st, data, size, options, fallBack);
    return fallBack ? EACCES : err;
  }
  if (exists) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    // The mode decides first, so that a read-only file stays read-only for root too.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (::faccessat(folder.Fd(), name.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    if (options.Expected.Known() && TFileIdentity::FromStat(st) != options.Expected) return ESTALE;
    if (st.st_nlink > 1) return RewriteInPlace(folder, name, data, size, options);
  } else if (options.Expected.Known()) {
    return ESTALE;  // the file read before is gone
  }

  bool fallBack = false;
  const int err = ReplaceByRename(folder, name, exists, st, data, size, options, fallBack, options.Group);
  if (!fallBack) return err;
  return exists ? RewriteInPlace(folder, name, data, size, options) : CreateInPlace(folder, name, data, size, options);
}

}  // namespace

int SafeSaveStep(const char* step) { return Step(step); }

int SafeWriteAt(const TFolderHandle& folder, const std::string& name, const char* data, std::size_t size,
                const TSafeWriteOptions& options) {
  if (options.RescuePath) options.RescuePath->clear();
  if (!options.Group) return WriteAt(folder, name, data, size, options);
  // A save that ended on its own (in place) joins the group with its result.
  TSaveGroup& group = *options.Group;
  const std::size_t staged = group.Count();
  TSaveGroup::TResult result;
  TSafeWriteOptions own = options;
  own.Written = &result.Written;
  own.Hash = &result.Hash;
  const int err = WriteAt(folder, name, data, size, own);
  if (!err && group.Count() == staged) group.AddDone(result);
  return err;
}

int FinishStagedSave(const TFolderHandle& folder, const std::string& temp, const std::string& name, int fd,
                     const TFileIdentity& expected, bool inPlace, bool& renamed, TFileIdentity& written,
                     std::string& rescue) {
  renamed = false;
  rescue.clear();
  int err = CheckUnchanged(folder, name, expected);
  if (!err) {
    err = folder.RenameTemp(temp, name);
    if (!err) {
      renamed = true;
      written = TFileIdentity::OfDescriptor(fd);
      Step("renamed");
      return 0;
    }
  }
  if (inPlace && (err == EPERM || err == EACCES)) {
    // A sticky folder lets us write the file but not replace it: the bytes already
    // written go in through the file's own inode.
    struct stat st;
    std::string bytes;
    err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (!err) {
      bytes.resize(static_cast<std::size_t>(st.st_size));
      err = ReadAll(fd, &bytes[0], bytes.size());
    }
    // The staged file already has the mode and times the save asked for.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    TSafeWriteOptions options;
    options.Expected = expected;
    options.RescuePath = &rescue;
    options.Mode = static_cast<int>(st.st_mode & 07777);
    options.Times = times;
    options.Written = &written;
    if (!err) err = RewriteInPlace(folder, name, bytes.data(), bytes.size(), options);
  }
  folder.RemoveTemp(temp);
  return err;
}

int SafeWriteFile(const std::string& path, const char* data, std::size_t size, const TSafeWriteOptions& options) {
  if (options.RescuePath) options.RescuePath->clear();
  if (path.empty()) return ENOENT;
  if (path.find('\0') != std::string::npos) return EINVAL;
  std::string target;
  bool exists = false;
  if (const int err = ResolveTarget(path, target, exists)) return err;
  TFolderHandle folder;
  if (const int err = folder.Open(FolderOf(target))) return err;
  return SafeWriteAt(folder, NameOf(target), data, size, options);
}

int SafeWriteFile(const std::string& path, const std::string& bytes, const TSafeWriteOptions& options) {
  return SafeWriteFile(path, bytes.data(), bytes.size(), options);
}

}  // namespace hovrak
