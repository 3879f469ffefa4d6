#include "platform/SafeSave.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileDescriptor.h"

namespace hovrak {

namespace {

constexpr int kMaxLinkDepth = 40;
// Longest part of the file name copied into a temporary name, so that the temporary
// name stays within NAME_MAX even for long file names.
constexpr std::size_t kMaxTempBaseLength = 200;
constexpr std::size_t kMaxWriteChunk = std::size_t(1) << 30;

TSafeSaveHook gHook = nullptr;
std::size_t gChunk = kMaxWriteChunk;

void Step(const char* name) {
  if (gHook) gHook(name);
}

// For calls whose failure leaves nothing further to do.
inline void IgnoreResult(int) {}

// ESTALE when the file at target is no longer in the expected state.
int CheckUnchanged(const std::string& target, const TFileIdentity& expected) {
  if (!expected.Known()) return 0;
  return TFileIdentity::OfPath(target) == expected ? 0 : ESTALE;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t pos = path.rfind('/');
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

std::string BaseOf(const std::string& path) {
  const std::size_t pos = path.rfind('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

int WriteAll(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size < gChunk ? size : gChunk, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
    Step("write");
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

// Flushes a folder's entries so that a rename in it survives a crash. Some file
// systems refuse fsync on folders; the rename has happened anyway, so errors are
// not reported.
void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
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
int ResolveTarget(const std::string& path, std::string& target, struct stat& st, bool& exists) {
  target = path;
  for (int depth = 0;; ++depth) {
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

// Creates a new file under its final name and writes it; removes it again on failure.
int CreateInPlace(const std::string& target, const char* data, std::size_t size) {
  TFileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.Get() < 0) return errno;
  int err = WriteAll(fd.Get(), data, size, 0);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  if (err) {
    ::unlink(target.c_str());
    return err;
  }
  SyncDirectory(DirectoryOf(target));
  return 0;
}

// Writes a complete copy of bytes to a new hidden file in dir and flushes it and the
// folder; its path goes to copyPath. Returns 0 or an errno value.
int KeepCopy(const std::string& dir, const std::string& base, const std::string& bytes, mode_t mode,
             std::string& copyPath) {
  std::string tmpl = dir + "/." + base + ".mirun-old-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  TFileDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.Get() < 0) return errno;
  copyPath = name.data();
  IgnoreResult(::fchmod(fd.Get(), mode & 0600));
  int err = WriteAll(fd.Get(), bytes.data(), bytes.size(), 0);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  if (err) {
    ::unlink(copyPath.c_str());
    copyPath.clear();
    return err;
  }
  SyncDirectory(dir);
  return 0;
}

// Rewrites an existing file through its own inode (hard links keep sharing it). A
// flushed copy of the old bytes is made first, beside the file or else in the
// temporary folder, and removed once the new bytes are on disk, so a kill at any
// moment leaves the old bytes whole somewhere. The new size is reserved before any
// byte changes, so a full disk or a size limit fails with the old contents intact; a
// later write error puts the old bytes back, and when even that fails the copy stays
// and its path goes to rescuePath.
int RewriteInPlace(const std::string& target, const char* data, std::size_t size, const TFileIdentity& expected,
                   std::string* rescuePath) {
  TFileDescriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.Get() < 0) return errno;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  if (expected.Known() && TFileIdentity::FromStat(st) != expected) return ESTALE;
  const off_t oldSize = st.st_size;

  std::string original(static_cast<std::size_t>(oldSize), '\0');
  if (const int err = ReadAll(fd.Get(), &original[0], original.size())) return err;
  std::string copyPath;
  int err = KeepCopy(DirectoryOf(target), BaseOf(target).substr(0, kMaxTempBaseLength), original, st.st_mode,
                     copyPath);
  if (err) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string tmpDir = tmp && *tmp ? tmp : "/tmp";
    const int tmpErr = KeepCopy(tmpDir, BaseOf(target).substr(0, kMaxTempBaseLength), original, st.st_mode,
                                copyPath);
    if (tmpErr) return err;
  }
  Step("copy");

  if (static_cast<std::size_t>(oldSize) < size) {
    if (const int reserveErr = ::posix_fallocate(fd.Get(), 0, static_cast<off_t>(size))) {
      IgnoreResult(::ftruncate(fd.Get(), oldSize));  // drop a partial reservation
      ::unlink(copyPath.c_str());
      return reserveErr;
    }
  }
  Step("reserve");
  err = WriteAll(fd.Get(), data, size, 0);
  if (!err && static_cast<std::size_t>(oldSize) > size && ::ftruncate(fd.Get(), static_cast<off_t>(size)) != 0)
    err = errno;
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  bool restored = !err;
  if (err) {
    restored = WriteAll(fd.Get(), original.data(), original.size(), 0) == 0 &&
               ::ftruncate(fd.Get(), oldSize) == 0 && ::fsync(fd.Get()) == 0;
  }
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  Step("done");
  if (restored && !closeErr) {
    ::unlink(copyPath.c_str());
  } else if (rescuePath) {
    *rescuePath = copyPath;
  }
  return err;
}

// Writes a temporary file beside the target and renames it over the target. Sets
// fallBack (and returns 0) when the in-place route should be taken instead.
int ReplaceByRename(const std::string& target, bool exists, const struct stat& st, const char* data,
                    std::size_t size, const TFileIdentity& expected, bool& fallBack) {
  fallBack = false;
  const std::string dir = DirectoryOf(target);
  std::string base = BaseOf(target);
  if (base.size() > kMaxTempBaseLength) base.resize(kMaxTempBaseLength);
  std::string tmpl = dir + "/." + base + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  TFileDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.Get() < 0) {
    fallBack = true;
    return 0;
  }
  const std::string tempPath(name.data());

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
  if (::fchmod(fd.Get(), mode) != 0) err = errno;
  if (!err) err = WriteAll(fd.Get(), data, size, 0);
  if (!err && ::fsync(fd.Get()) != 0) err = errno;
  const int closeErr = fd.Close();
  if (!err) err = closeErr;
  Step("done");
  // Last look before the switch: a file someone wrote meanwhile is not replaced.
  if (!err) err = CheckUnchanged(target, expected);
  if (!err && ::rename(tempPath.c_str(), target.c_str()) != 0) {
    err = errno;
    // A sticky folder lets us write the file but not replace it.
    if (exists && (err == EPERM || err == EACCES)) fallBack = true;
  }
  if (err || fallBack) {
    ::unlink(tempPath.c_str());
    return fallBack ? 0 : err;
  }
  SyncDirectory(dir);
  return 0;
}

}  // namespace

void SetSafeSaveTestHook(TSafeSaveHook hook, std::size_t chunkSize) {
  gHook = hook;
  gChunk = chunkSize > 0 ? chunkSize : kMaxWriteChunk;
}

int SafeWriteFile(const std::string& path, const char* data, std::size_t size, const TSafeWriteOptions& options) {
  if (options.RescuePath) options.RescuePath->clear();
  if (path.empty()) return ENOENT;
  if (size > 0 && data == nullptr) return EINVAL;
  std::string target;
  struct stat st;
  bool exists = false;
  if (const int err = ResolveTarget(path, target, st, exists)) return err;

  if (exists) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    // The mode decides first, so that a read-only file stays read-only for root too.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    if (options.Expected.Known() && TFileIdentity::FromStat(st) != options.Expected) return ESTALE;
    if (st.st_nlink > 1) return RewriteInPlace(target, data, size, options.Expected, options.RescuePath);
  } else if (options.Expected.Known()) {
    return ESTALE;  // the file read before is gone
  }

  bool fallBack = false;
  const int err = ReplaceByRename(target, exists, st, data, size, options.Expected, fallBack);
  if (!fallBack) return err;
  return exists ? RewriteInPlace(target, data, size, options.Expected, options.RescuePath)
                : CreateInPlace(target, data, size);
}

int SafeWriteFile(const std::string& path, const std::string& bytes, const TSafeWriteOptions& options) {
  return SafeWriteFile(path, bytes.data(), bytes.size(), options);
}

}  // namespace hovrak
