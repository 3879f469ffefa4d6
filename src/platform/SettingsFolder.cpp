#include "platform/SettingsFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace hovrak {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Creates the folder and every missing parent; true when it exists afterwards.
bool MakeFolders(const std::string& path, mode_t mode) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeFolderOf(const char* home) {
  if (IsSet(home)) return home;
  std::vector<char> buffer(16384);
  struct passwd entry;
  struct passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->pw_dir) {
    return result->pw_dir;
  }
  return "/tmp";
}

// An installed program (bin/ beside share/mirun/) keeps no files in its bin folder,
// also when that folder is writable (a prefix in the home folder, or root).
bool IsInstalledLayout(const std::string& programFolder) {
  const std::size_t slash = programFolder.rfind('/');
  if (slash == std::string::npos) return false;
  struct stat st;
  const std::string share = programFolder.substr(0, slash) + "/share/mirun";
  return ::stat(share.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string ProgramFilePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ChooseSettingsFolder(const char* mirunHome, const std::string& programFile, const char* xdgConfigHome,
                                 const char* home) {
  if (IsSet(mirunHome)) {
    const std::string folder = WithoutTrailingSlashes(mirunHome);
    MakeFolders(folder, 0777);
    return folder;
  }
  const std::size_t slash = programFile.rfind('/');
  if (slash != std::string::npos) {
    const std::string folder = slash == 0 ? std::string("/") : programFile.substr(0, slash);
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK) == 0 &&
        !IsInstalledLayout(folder)) {
      return folder;
    }
  }
  // Relative XDG_CONFIG_HOME values are to be ignored, as the XDG rules say.
  const std::string config = IsSet(xdgConfigHome) && xdgConfigHome[0] == '/'
                                 ? WithoutTrailingSlashes(xdgConfigHome)
                                 : WithoutTrailingSlashes(HomeFolderOf(home)) + "/.config";
  const std::string folder = (config == "/" ? std::string() : config) + "/mirun";
  MakeFolders(folder, 0700);
  return folder;
}

std::string SaveJournalFolder() { return SettingsFolder() + "/Journal"; }

std::string UserHomeFolder() { return WithoutTrailingSlashes(HomeFolderOf(std::getenv("HOME"))); }

std::string SettingsFolder() {
  return ChooseSettingsFolder(std::getenv("MIRUN_HOME"), ProgramFilePath(), std::getenv("XDG_CONFIG_HOME"),
                              std::getenv("HOME"));
}

std::string SettingsFilePath() { return SettingsFolder() + "/Mirun.kel"; }

std::string DefaultBackupFolder() { return SettingsFolder() + "/Backup"; }

std::string SideFilePath() {
  const std::string program = ProgramFilePath();
  const std::size_t slash = program.rfind('/');
  const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
  return SettingsFolder() + "/" + (name.empty() ? std::string("mirun") : name) + ".cmdparam";
}

}  // namespace hovrak
