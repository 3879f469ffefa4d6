#pragma once
// Collects the files and folders a run passed over without asking (too large,
// unreadable, path too long) and words them for stderr after the search: a count
// and the first few paths per reason.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/SkipReason.h"

class TSkipReport {
 public:
  // Paths named per reason; the rest are only counted.
  static constexpr std::size_t kNamesShown = 5;

  void Add(const std::string& path, TSkipReason reason);
  bool Empty() const;
  // One line per reason that occurred, each starting with "mirun-cli: " and ending
  // with a line feed; empty when nothing was skipped. maxFileSize: the search's limit
  // in bytes. forTerminal: the paths go through EscapeForTerminal.
  std::string Text(std::int64_t maxFileSize, bool forTerminal) const;

 private:
  struct TGroup {
    std::size_t Count = 0;
    std::vector<std::string> Names;  // the first kNamesShown paths
  };
  TGroup groups_[3];  // by TSkipReason
};
