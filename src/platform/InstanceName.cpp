#include "platform/InstanceName.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/SettingsFolder.h"

namespace hovrak {

namespace {

std::string CanonicalPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool IsAbsoluteFolder(const char* path) {
  struct stat st;
  return path != nullptr && path[0] == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// 64-bit FNV-1a: a short, stable name; no secret is involved.
std::uint64_t Fnv1a(const std::string& bytes, std::uint64_t hash = 14695981039346656037ULL) {
  for (const unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  return hash;
}

}  // namespace

std::string InstanceName(const std::string& programFile) {
  std::string path = CanonicalPath(programFile);
  for (char& c : path) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '\\') c = '/';
  }
  return "Hovrak@" + path;
}

std::string InstanceRuntimeFolder(const char* xdgRuntimeDir, const char* tmpDir) {
  std::string folder = IsAbsoluteFolder(xdgRuntimeDir) ? xdgRuntimeDir : IsAbsoluteFolder(tmpDir) ? tmpDir : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string InstanceSocketPath(const std::string& programFile, const std::string& settingsFolder,
                               const std::string& runtimeFolder, unsigned uid) {
  const std::string key = InstanceName(programFile) + '\0' + CanonicalPath(programFile) + '\0' + settingsFolder;
  char name[64];
  std::snprintf(name, sizeof name, "mirun-%u-%016llx.sock", uid, static_cast<unsigned long long>(Fnv1a(key)));
  const std::string folder = runtimeFolder.empty() || runtimeFolder == "/" ? std::string() : runtimeFolder;
  std::string path = folder + "/" + name;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) path = std::string("/tmp/") + name;
  return path;
}

std::string ThisInstanceSocketPath() {
  return InstanceSocketPath(ProgramFilePath(), SettingsFolder(),
                            InstanceRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR")),
                            static_cast<unsigned>(::getuid()));
}

}  // namespace hovrak
