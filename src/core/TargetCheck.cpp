#include "core/TargetCheck.h"

#include "platform/FileInfo.h"

namespace hovrak {

int CheckTargets(const TStringVector& paths) {
  if (paths.empty()) return 54;
  if (paths.size() > 1) {
    for (const std::string& path : paths) {
      if (PathKind(path) == 2) return 55;
    }
  }
  return 0;
}

}  // namespace hovrak
