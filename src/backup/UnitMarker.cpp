#include "backup/UnitMarker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ConfinedDelete.h"
#include "platform/FileLock.h"

const char* const TUnitMarker::FileName = ".mirun-unit";

namespace {

// The mark's bytes: a fixed line and the unit's name, so that a mark copied into
// another folder proves nothing there.
std::string MarkText(const std::string& unitName) { return "Mirun backup unit\n" + unitName + "\n"; }

}  // namespace

int TUnitMarker::Create(const std::string& backupFolder, const std::string& unitName) {
  Release();
  if (!hovrak::IsPlainName(unitName)) return EINVAL;
  if (const int err = unit_.OpenBelow(backupFolder, unitName)) return err;
  hovrak::TFileDescriptor fd(unit_.OpenEntry(FileName, O_RDWR | O_CREAT | O_EXCL, 0600));
  if (fd.Get() < 0) return errno;
  const std::string text = MarkText(unitName);
  if (const int err = hovrak::WriteAllAt(fd.Get(), text.data(), text.size(), 0)) return err;
  if (const int err = hovrak::LockDescriptor(fd.Get(), LOCK_SH)) return err;
  fd_ = std::move(fd);
  return 0;
}

hovrak::TFileDescriptor TUnitMarker::OpenMark(const std::string& backupFolder, const std::string& unitName) {
  hovrak::TFileDescriptor none;
  if (!hovrak::IsPlainName(unitName) || unit_.OpenBelow(backupFolder, unitName) != 0) return none;
  hovrak::TFileDescriptor fd(unit_.OpenEntry(FileName, O_RDONLY | O_NONBLOCK));
  struct stat st;
  if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > 4096) return none;
  std::string text;
  if (hovrak::ReadToEnd(fd.Get(), text) != 0 || text != MarkText(unitName)) return none;
  return fd;
}

bool TUnitMarker::HoldShared(const std::string& backupFolder, const std::string& unitName) {
  Release();
  hovrak::TFileDescriptor fd = OpenMark(backupFolder, unitName);
  if (fd.Get() < 0) return false;
  if (hovrak::LockDescriptor(fd.Get(), LOCK_SH) != 0) return false;
  fd_ = std::move(fd);
  return true;
}

TUnitMarker::TState TUnitMarker::TryAlone(const std::string& backupFolder, const std::string& unitName) {
  Release();
  hovrak::TFileDescriptor fd = OpenMark(backupFolder, unitName);
  if (fd.Get() < 0) return TState::Absent;
  if (const int err = hovrak::LockDescriptor(fd.Get(), LOCK_EX | LOCK_NB))
    return err == EWOULDBLOCK ? TState::InUse : TState::Absent;
  fd_ = std::move(fd);
  return TState::Held;
}

void TUnitMarker::Remove() {
  if (Held()) ::unlinkat(unit_.Fd(), FileName, 0);
}

void TUnitMarker::Release() {
  fd_.Reset();
  unit_ = hovrak::TFolderHandle();
}
