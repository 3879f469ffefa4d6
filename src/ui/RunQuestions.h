#pragma once
// The questions a search, replace or undo asks the user: each one parented to the
// progress window while it is shown (so it stands above it) and asked with the
// normal cursor.

#include <cstdint>
#include <string>
#include <utility>

#include <QString>

#include "backup/Backup.h"

class QWidget;
struct TBackupReport;
namespace hovrak {
struct TFileErrorQuestion;
}

class TRunQuestions {
 public:
  // window: the main window, the parent while no progress is shown; progress: the
  // progress window. settingsPath: the file the backup index is written to.
  TRunQuestions(QWidget& window, QWidget& progress, std::string settingsPath)
      : window_(window), progress_(progress), settingsPath_(std::move(settingsPath)) {}

  // The progress window while it is shown, else the main window.
  QWidget* Parent() const;
  // The file error dialog; its answer (hovrak::TFileErrorAnswer codes).
  int FileError(const hovrak::TFileErrorQuestion& question, const QString& forceCaption = QString()) const;
  // The size question before a backup, naming the units it would prune.
  bool ConfirmSize(const TBackup& backup, std::uint64_t total) const;
  // Whether the young units a prune would delete may go.
  bool ConfirmDelete(const TBackup::TUnitPointers& units) const;
  // After an incomplete backup: what could not be copied or recorded, then question
  // (what going on means). No is the default.
  bool GoOnWithoutBackup(const TBackupReport& report, const QString& question) const;
  // A Yes/No question with No as the default, parented to parent.
  bool YesNo(QWidget* parent, const std::string& text) const;

 private:
  QWidget& window_;
  QWidget& progress_;
  std::string settingsPath_;
};
