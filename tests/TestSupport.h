#pragma once
// Helpers shared by the tests: a temporary folder removed with everything in it,
// and whole-file reads and writes.

#include <string>

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
