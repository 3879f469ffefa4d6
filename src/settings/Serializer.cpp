#include "settings/Serializer.h"

#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include "settings/KELNode.h"
#include "settings/KELString.h"
#include "settings/Option.h"
#include "settings/PersistentWindows.h"

using hovrak::ReadValue;
using hovrak::WriteValue;

namespace {

using THistory = TPersistentWindows::THistory;
using TWindow = TPersistentWindows::TWindow;

struct THistoryKey {
  THistory History;
  const char* Key;
};
constexpr THistoryKey kHistories[] = {
    {THistory::Path, "PathHistory"},
    {THistory::Filter, "FilterHistory"},
    {THistory::Searched, "SearchedHistory"},
    {THistory::Replacing, "ReplacingHistory"},
};

struct TBoundsKeys {
  TWindow Window;
  const char* Prefix;
  bool WithSize;
};
constexpr TBoundsKeys kBounds[] = {
    {TWindow::Main, "Main", false},
    {TWindow::Result, "Result", true},
    {TWindow::View, "View", true},
};

// One value per column of the result list, left to right.
const char* const kColumnKey = "ResultColumnWidth";

}  // namespace

void TSerializer::Write(hovrak::TKELNode& node) const {
  if (option_) node.WriteChild("Option", *option_);
  if (backup_) node.WriteChild("Backup", *backup_);
  if (windows_) {
    for (const THistoryKey& h : kHistories) {
      for (const std::string& item : windows_->History(h.History)) node.AddValue(h.Key, item);
    }
    for (const TBoundsKeys& b : kBounds) {
      const std::string prefix = b.Prefix;
      const TPersistentWindows::TBounds bounds = windows_->Bounds(b.Window);
      WriteValue(node, prefix + "Left", bounds.Left);
      WriteValue(node, prefix + "Top", bounds.Top);
      if (b.WithSize) {
        WriteValue(node, prefix + "Width", bounds.Width);
        WriteValue(node, prefix + "Height", bounds.Height);
      }
    }
    for (const std::int32_t width : windows_->ColumnWidths()) WriteValue(node, kColumnKey, width);
  }
  WriteValue(node, "Ver3First", Ver3First);
}

void TSerializer::Read(hovrak::TKELNode& node) {
  if (option_) node.ReadChild("Option", *option_);
  if (backup_) node.ReadChild("Backup", *backup_);
  if (windows_) {
    for (const THistoryKey& h : kHistories) {
      TStringVector items;
      std::string item;
      while (node.GetValue(h.Key, item)) items.push_back(item);
      windows_->SetHistory(h.History, items);
    }
    for (const TBoundsKeys& b : kBounds) {
      const std::string prefix = b.Prefix;
      TPersistentWindows::TBounds bounds = windows_->Bounds(b.Window);
      bool changed = ReadValue(node, prefix + "Left", bounds.Left);
      changed = ReadValue(node, prefix + "Top", bounds.Top) || changed;
      if (b.WithSize) {
        changed = ReadValue(node, prefix + "Width", bounds.Width) || changed;
        changed = ReadValue(node, prefix + "Height", bounds.Height) || changed;
      }
      if (changed) windows_->SetBounds(b.Window, bounds);
    }
    // All or nothing: a list that lost a value would shift the rest into other columns.
    std::vector<std::int32_t> widths;
    bool readable = true;
    for (hovrak::TKELString text; node.GetValue(kColumnKey, text.Text());) {
      std::int32_t width = 0;
      readable = text.Get(width) && readable;
      widths.push_back(width);
    }
    if (readable && !widths.empty()) windows_->SetColumnWidths(widths);
  }
  ReadValue(node, "Ver3First", Ver3First);
}

bool TSerializer::TakeOldSettingsNotice(const std::string& folder) {
  const bool wasFirst = Ver3First;
  Ver3First = false;
  if (!wasFirst) return false;
  struct stat st;
  return ::stat((folder + "/Mirun.kmx").c_str(), &st) == 0;
}
