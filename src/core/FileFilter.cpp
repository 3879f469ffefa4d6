#include "core/FileFilter.h"

#include "platform/Wildcard.h"

TFileFilter::TFileFilter(const TStringVector& tokens) {
  for (const std::string& token : tokens) {
    if (token.empty() || token[0] != '!') {
      includes_.push_back(token);
      continue;
    }
    TRule rule;
    rule.Pattern = token.substr(1);
    while (!rule.Pattern.empty() && rule.Pattern.back() == '/') {
      rule.FoldersOnly = true;
      rule.Pattern.pop_back();
    }
    if (!rule.Pattern.empty() && rule.Pattern[0] == '/') {
      rule.WholePath = true;
      rule.Pattern.erase(0, rule.Pattern.find_first_not_of('/'));
    }
    if (rule.Pattern.find('/') != std::string::npos) rule.WholePath = true;
    // "!" or "!/" alone names nothing.
    if (!rule.Pattern.empty()) rules_.push_back(std::move(rule));
  }
  // Only leaving out means taking everything else; no token at all takes nothing.
  if (includes_.empty() && !rules_.empty()) includes_.push_back("*");
}

bool TFileFilter::Excludes(std::string_view relative, bool isFolder) const {
  if (rules_.empty()) return false;
  const std::size_t slash = relative.rfind('/');
  const std::string name(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
  std::string path;
  for (const TRule& rule : rules_) {
    if (rule.FoldersOnly && !isFolder) continue;
    if (!rule.WholePath) {
      if (hovrak::MatchWildcard(rule.Pattern, name)) return true;
      continue;
    }
    if (path.empty()) path.assign(relative);
    if (hovrak::MatchWildcard(rule.Pattern, path)) return true;
  }
  return false;
}
