#include "front/DisplayBase.h"

#include "platform/FileInfo.h"

namespace hovrak {

std::string DisplayBase(const TStringVector& paths) {
  if (paths.empty()) return std::string();
  if (PathKind(paths.front()) == 2) return paths.front();
  std::string prefix = paths.front();
  for (const std::string& path : paths) {
    std::size_t n = 0;
    while (n < prefix.size() && n < path.size() && prefix[n] == path[n]) ++n;
    prefix.resize(n);
  }
  if (!prefix.empty() && prefix.back() == '/') {
    prefix.pop_back();
    return prefix;
  }
  const std::size_t slash = prefix.rfind('/');
  return slash == std::string::npos ? std::string() : prefix.substr(0, slash);
}

std::string ShortenPath(const std::string& path, const std::string& base) {
  if (base.empty()) return path;
  const std::size_t length = base.size() + (base.back() == '/' ? 0 : 1);
  return path.size() < length ? path : path.substr(length);
}

}  // namespace hovrak
