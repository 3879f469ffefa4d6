#include "front/StartSaveJournal.h"

#include "platform/SettingsFolder.h"

namespace hovrak {

std::vector<TRecoveredSave> StartSaveJournal() {
  const std::string folder = SaveJournalFolder();
  std::vector<TRecoveredSave> recovered = RecoverSaveJournals(folder);
  SetSaveJournalFolder(folder);
  return recovered;
}

}  // namespace hovrak
