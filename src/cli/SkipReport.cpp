#include "cli/SkipReport.h"

#include "cli/TerminalText.h"

namespace {

std::string LimitText(std::int64_t bytes) {
  const std::int64_t mb = 1048576;
  if (bytes > 0 && bytes % mb == 0) return std::to_string(bytes / mb) + " MB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace

void TSkipReport::Add(const std::string& path, TSkipReason reason) {
  const auto index = static_cast<std::size_t>(reason);
  if (index >= sizeof groups_ / sizeof groups_[0]) return;
  TGroup& group = groups_[index];
  ++group.Count;
  if (group.Names.size() < kNamesShown) group.Names.push_back(path);
}

bool TSkipReport::Empty() const {
  for (const TGroup& group : groups_)
    if (group.Count) return false;
  return true;
}

std::string TSkipReport::Text(std::int64_t maxFileSize, bool forTerminal) const {
  std::string out;
  for (std::size_t i = 0; i < sizeof groups_ / sizeof groups_[0]; ++i) {
    const TGroup& group = groups_[i];
    if (group.Count == 0) continue;
    const bool one = group.Count == 1;
    out += "mirun-cli: " + std::to_string(group.Count);
    switch (static_cast<TSkipReason>(i)) {
      case TSkipReason::TooLarge:
        out += one ? " file larger than the limit of " : " files larger than the limit of ";
        out += LimitText(maxFileSize) + (one ? " was skipped: " : " were skipped: ");
        break;
      case TSkipReason::FolderUnreadable:
        out += one ? " folder could not be read: " : " folders could not be read: ";
        break;
      case TSkipReason::PathTooLong:
        out += one ? " path too long to open was skipped: " : " paths too long to open were skipped: ";
        break;
    }
    for (std::size_t k = 0; k < group.Names.size(); ++k) {
      if (k) out += ", ";
      out += forTerminal ? EscapeForTerminal(group.Names[k]) : group.Names[k];
    }
    if (group.Count > group.Names.size()) out += " and " + std::to_string(group.Count - group.Names.size()) + " more";
    out += '\n';
  }
  return out;
}
