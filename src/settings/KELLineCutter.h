#pragma once
// Cuts KEL text into lines as the reader sees them: a line ends at LF (a CR right
// before it belongs to the line end, a lone CR stays in the line), nothing after the
// first Ctrl-Z counts, and blanks before a line's first character are skipped.

#include <string>

namespace hovrak {

class TKELLineCutter {
 public:
  struct TLine {
    std::size_t Start = 0;  // where the line starts
    std::size_t First = 0;  // its first non-blank character (End when blank)
    std::size_t End = 0;    // its end, without the line end
    std::size_t Next = 0;   // where the next line starts
  };

  explicit TKELLineCutter(const std::string& bytes) : bytes_(bytes), end_(bytes.find('\x1a')) {
    if (end_ == std::string::npos) end_ = bytes.size();
  }

  // The end of the readable data (the first Ctrl-Z, or the size).
  std::size_t DataEnd() const { return end_; }

  bool Next(TLine& line) {
    if (pos_ >= end_) return false;
    line.Start = pos_;
    std::size_t lineEnd = bytes_.find('\n', pos_);
    if (lineEnd == std::string::npos || lineEnd > end_) {
      lineEnd = end_;
      line.Next = end_;
    } else {
      line.Next = lineEnd + 1;
      if (lineEnd > pos_ && bytes_[lineEnd - 1] == '\r') --lineEnd;
    }
    line.End = lineEnd;
    line.First = pos_;
    while (line.First < lineEnd && IsBlank(bytes_[line.First])) ++line.First;
    pos_ = line.Next;
    return true;
  }

  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

 private:
  const std::string& bytes_;
  std::size_t end_;
  std::size_t pos_ = 0;
};

}  // namespace hovrak
