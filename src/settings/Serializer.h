#pragma once
// The top-level object of the settings file: the options block, the backup store's
// block, the four input histories, the window bounds and the first-run flag of the
// current settings format. It reaches the objects it stores through pointers set
// by their owner; an object that is not set is neither written nor read.

#include <string>

#include "settings/KELObject.h"

class TOption;
class TPersistentWindows;

class TSerializer : public hovrak::TKELObject {
 public:
  // True until the notice about the older settings file has had its chance.
  bool Ver3First = true;

  TSerializer() = default;
  TSerializer(TOption* option, hovrak::TKELObject* backup, TPersistentWindows* windows)
      : option_(option), backup_(backup), windows_(windows) {}

  void SetOption(TOption* option) { option_ = option; }
  // The backup store, written and read as the "Backup" block.
  void SetBackup(hovrak::TKELObject* backup) { backup_ = backup; }
  void SetWindows(TPersistentWindows* windows) { windows_ = windows; }

  // Adds the "Option" and "Backup" blocks, the histories, the bounds, the result
  // list's column widths and Ver3First, in that order.
  void Write(hovrak::TKELNode& node) const override;
  // Takes the same keys in the same order. Each history is replaced by the values
  // found (emptied when there are none); a bound that does not read as a signed
  // integer keeps the window's current one; column widths are taken only when all
  // of them read.
  void Read(hovrak::TKELNode& node) override;

  // Whether to show the one-time notice about the older settings file: true when
  // Ver3First is still set and "Mirun.kmx" exists in the folder. Either way
  // Ver3First becomes false, so the notice comes at most once.
  bool TakeOldSettingsNotice(const std::string& folder);

 private:
  TOption* option_ = nullptr;
  hovrak::TKELObject* backup_ = nullptr;
  TPersistentWindows* windows_ = nullptr;
};
