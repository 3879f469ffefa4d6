#include "settings/SettingsFile.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/SafeSave.h"
#include "settings/KELLineCutter.h"
#include "settings/KELNode.h"

bool TSettingsFile::Exists() const {
  struct stat st;
  return ::lstat(path_.c_str(), &st) == 0;
}

bool TSettingsFile::Load(hovrak::TKELObject& object) {
  hovrak::TKELNode node;
  if (!node.LoadFile(path_)) return false;
  object.Read(node);
  return true;
}

std::string TSettingsFile::BlockBytes(const std::string& name, const hovrak::TKELObject& object) {
  hovrak::TKELNode root;
  root.WriteChild(name, object);
  return root.SaveToBytes();
}

std::string TSettingsFile::ReplaceTopLevelBlock(const std::string& bytes, const std::string& name,
                                                const std::string& block) {
  // Walks the lines as the reader does, tracking the nesting depth, to find the
  // first top-level open line of that name and the close line that matches it.
  hovrak::TKELLineCutter cutter(bytes);
  std::size_t end = cutter.DataEnd();
  std::size_t depth = 0;
  std::size_t blockStart = std::string::npos;
  hovrak::TKELLineCutter::TLine line;
  while (cutter.Next(line)) {
    const std::size_t lineStart = line.Start;
    const std::size_t first = line.First;
    const std::size_t lineEnd = line.End;
    const std::size_t next = line.Next;
    if (first == lineEnd) continue;
    if (bytes[first] == '}') {
      if (depth == 0) {
        // The reader stops at a close line with nothing open: nothing after it counts.
        end = lineStart;
        break;
      }
      --depth;
      if (depth == 0 && blockStart != std::string::npos) {
        std::string out = bytes.substr(0, blockStart) + block + bytes.substr(next);
        return out;
      }
      continue;
    }
    std::size_t mark = first;
    while (mark < lineEnd && bytes[mark] != '=' && bytes[mark] != '{') ++mark;
    if (mark == lineEnd || bytes[mark] != '{') continue;
    if (depth == 0 && blockStart == std::string::npos && bytes.compare(first, mark - first, name) == 0 &&
        mark - first == name.size())
      blockStart = lineStart;
    ++depth;
  }
  if (blockStart != std::string::npos) return bytes.substr(0, blockStart) + block + bytes.substr(end);
  // No such block: append it to the readable data, on a line of its own.
  std::string head = bytes.substr(0, end);
  if (!head.empty() && head.back() != '\n') head += "\r\n";
  return head + block + bytes.substr(end);
}

bool TSettingsFile::SaveBlock(const std::string& name, const hovrak::TKELObject& object) const {
  std::string bytes;
  // A file that exists but cannot be read now is left alone rather than replaced
  // by the block alone; anything but a regular file is refused.
  struct stat st;
  if (::stat(path_.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return false;
  }
  return hovrak::SafeWriteFile(path_, ReplaceTopLevelBlock(bytes, name, BlockBytes(name, object))) == 0;
}
