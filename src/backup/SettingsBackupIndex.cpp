#include "backup/SettingsBackupIndex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include <boost/shared_ptr.hpp>

#include "backup/Backup.h"
#include "platform/FileLock.h"
#include "settings/KELNode.h"
#include "settings/SettingsFile.h"

namespace {

// Holds an exclusive flock on a file for as long as it lives.
class TLockFile {
 public:
  explicit TLockFile(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    error_ = hovrak::LockDescriptor(fd_, LOCK_EX);
  }
  ~TLockFile() {
    // Closing the only descriptor of the open file releases the lock.
    if (fd_ >= 0) ::close(fd_);
  }
  TLockFile(const TLockFile&) = delete;
  TLockFile& operator=(const TLockFile&) = delete;

  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace

int TSettingsBackupIndex::Update(TBackup& backup, const std::function<void()>& change) {
  const TLockFile lock(path_ + ".lock");
  if (lock.Error() != 0) return lock.Error();

  std::string bytes;
  const int readError = TSettingsFile::ReadBytes(path_, bytes);
  if (readError != 0 && readError != ENOENT) return readError;
  hovrak::TKELNode tree;
  tree.LoadFromBytes(bytes);
  if (const boost::shared_ptr<hovrak::TKELNode> block = tree.GetChild("Backup")) backup.ReadUnits(*block);

  change();
  return TSettingsFile(path_).WriteBlock("Backup", backup);
}
