#include "front/TargetCheck.h"
#include "front/SystemErrorText.h"

#include <cstring>

#include "platform/FileInfo.h"
#include "shared/MessageTable.h"

namespace hovrak {

int CheckTargets(const TStringVector& paths) {
  if (paths.empty()) return static_cast<int>(TMsg::NoTargetGiven);
  if (paths.size() > 1) {
    for (const std::string& path : paths) {
      if (PathKind(path) == 2) return static_cast<int>(TMsg::OneFolderOnly);
    }
  }
  return 0;
}

std::string MissingTargetText(const TStringVector& paths) {
  if (paths.size() != 1) return std::string();
  int error = 0;
  if (PathKind(paths.front(), &error) != 0) return std::string();
  return MessageTable(TMsg::TargetNotFound) + ("\n" + paths.front()) + "\n（" + SystemErrorText(error) + "）";
}

}  // namespace hovrak
