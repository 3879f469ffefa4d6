#pragma once
// The file-name filters of a folder search read from their tokens: the wildcards of
// the files to take, and from every token that starts with "!" a wildcard of what to
// leave out ("*.txt !*.bak.txt !old/"). Shared by the window's filter box and the
// command line, so both read a filter the same way.

#include <string>
#include <string_view>
#include <vector>

#include "shared/StringVector.h"

class TFileFilter {
 public:
  // tokens: the filter text split as the filter box splits it. A token "!PATTERN"
  // leaves out what PATTERN matches: a file or folder name at any depth, only
  // folders when PATTERN ends in "/", and, when PATTERN holds a "/" before its end,
  // the path below the searched folder ("!/build/" only the top one). Tokens that
  // only leave out take every other file ("*").
  explicit TFileFilter(const TStringVector& tokens);

  // The wildcards of the files to take, in the given order.
  const TStringVector& Includes() const { return includes_; }
  bool HasExclusions() const { return !rules_.empty(); }

  // Whether the entry at relative (its path below the searched folder, parts joined
  // by "/") is left out; a folder left out is not entered.
  bool ExcludesFile(std::string_view relative) const { return Excludes(relative, false); }
  bool ExcludesFolder(std::string_view relative) const { return Excludes(relative, true); }

 private:
  struct TRule {
    std::string Pattern;
    bool FoldersOnly = false;
    bool WholePath = false;  // matched against the relative path, not the name
  };

  bool Excludes(std::string_view relative, bool isFolder) const;

  TStringVector includes_;
  std::vector<TRule> rules_;
};
