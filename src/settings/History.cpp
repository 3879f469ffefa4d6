#include "settings/History.h"

#include <algorithm>

#include "pattern/BasicRegManager.h"

namespace hovrak {

std::string AddToHistory(TStringVector& history, const std::string& text) {
  const std::string clean = reg_manager().replace(text, "[\\r\\n]", "", "g");
  const auto found = std::find(history.begin(), history.end(), clean);
  if (found != history.end()) history.erase(found);
  history.insert(history.begin(), clean);
  // A hand-edited settings file may bring in a longer list; trim it here too.
  if (history.size() > kMaxHistoryItems) history.resize(kMaxHistoryItems);
  return clean;
}

}  // namespace hovrak
