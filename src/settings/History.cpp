#include "settings/History.h"

#include <algorithm>

namespace hovrak {

std::string AddToHistory(TStringVector& history, const std::string& text) {
  std::string clean;
  clean.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n') clean += c;
  }
  const auto found = std::find(history.begin(), history.end(), clean);
  if (found != history.end()) history.erase(found);
  history.insert(history.begin(), clean);
  // A hand-edited settings file may bring in a longer list; trim it here too.
  if (history.size() > kMaxHistoryItems) history.resize(kMaxHistoryItems);
  return clean;
}

}  // namespace hovrak
