#pragma once
// Helpers shared by the tests: a temporary folder removed with everything in it,
// whole-file reads and writes, folder listings, and a save-step hook that kills.

#include <string>
#include <vector>

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);
// Writes bytes, creating missing parent folders.
void WriteWholeFile(const std::string& path, const std::string& bytes);
// Test data shipped in tests/data.
std::string TestDataPath(const std::string& name);

// The names in folder, "." and ".." left out, in byte-wise order; empty when it
// cannot be read.
std::vector<std::string> FolderNames(const std::string& folder);

// A save-step hook (SetSafeSaveTestHook) that kills the process with SIGKILL at the
// gKillAtStep-th step counted in gStepsTaken; a test sets both in the child it forks.
extern int gKillAtStep;
extern int gStepsTaken;
int KillAtStep(const char* step);
