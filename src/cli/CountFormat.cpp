#include "cli/CountFormat.h"

#include "cli/TerminalText.h"

void TCountFormat::FileBegin(const std::string& path, const TFileFacts*, std::string& out) {
  path_ = forTerminal_ ? EscapeForTerminal(path) : path;
  count_ = 0;
  // The name can go out at once: the reader sees it while the rest is searched.
  if (namesOnly_) {
    colors_.Paint(out, colors_.Path, path_);
    out += '\n';
  }
}

void TCountFormat::Place(const TAbstractPlace&, std::string&) { ++count_; }

void TCountFormat::FileEnd(std::string& out) {
  if (namesOnly_) return;
  colors_.Paint(out, colors_.Path, path_);
  out += ':';
  colors_.Paint(out, colors_.Line, std::to_string(count_));
  out += '\n';
}
