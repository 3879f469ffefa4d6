#pragma once
// What the serializer needs of the windows: the four input histories (the items of
// their combo boxes) and the bounds of the main, result and view windows. The user
// interface implements it; the core stays free of windows.

#include <cstdint>
#include <vector>

#include "shared/StringVector.h"

class TPersistentWindows {
 public:
  enum class THistory { Path, Filter, Searched, Replacing };
  enum class TWindow { Main, Result, View };
  struct TBounds {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
  };

  virtual ~TPersistentWindows();

  // The items of a history's combo box, first item first.
  virtual TStringVector History(THistory history) const = 0;
  // Replaces all items of a history's combo box.
  virtual void SetHistory(THistory history, const TStringVector& items) = 0;
  // A window's current bounds in pixels. Only Left and Top of the main window are
  // stored.
  virtual TBounds Bounds(TWindow window) const = 0;
  virtual void SetBounds(TWindow window, const TBounds& bounds) = 0;
  // The widths of the result list's columns, left to right; none when the windows
  // do not keep them.
  virtual std::vector<std::int32_t> ColumnWidths() const { return {}; }
  virtual void SetColumnWidths(const std::vector<std::int32_t>&) {}
};
