#pragma once
// A generated folder tree of Japanese text files in every character code, for the
// search and replace benchmarks. Removed when the object is destroyed.

#include <cstddef>
#include <string>

class TJapaneseTree {
 public:
  // files text files of about fileUnits UTF-16 units each, spread over folders of
  // 100 files, cycling through Shift-JIS, EUC-JP, JIS, UTF-8, UTF-8 BOM and UTF-16.
  TJapaneseTree(int files, std::size_t fileUnits);
  ~TJapaneseTree();
  TJapaneseTree(const TJapaneseTree&) = delete;
  TJapaneseTree& operator=(const TJapaneseTree&) = delete;

  const std::string& Root() const { return root_; }
  std::size_t Bytes() const { return bytes_; }
  int Files() const { return files_; }

 private:
  std::string root_;
  std::size_t bytes_ = 0;
  int files_ = 0;
};
