#pragma once
// Undo of a replace from the main window: the user chooses a backup unit, its files
// are put back with the progress window and the run's questions, and a summary tells
// what was done.

#include <string>

class QString;
class TfrmMain;
class TRunQuestions;
class TSettingsBackupIndex;
struct TRestoreReport;

class TRestoreRun {
 public:
  TRestoreRun(TfrmMain& main, const TRunQuestions& questions) : main_(main), questions_(questions) {}

  // The units as the index on disk holds them now (read again through index when
  // given; the units known here when it cannot be read), offered in the restore
  // dialog. The name chosen, "" when none.
  std::string ChooseUnit(TSettingsBackupIndex* index);
  // Puts the named unit's files back. The run state (InReplace, results discarded)
  // begins with the first progress report and ends in Ready.
  void Run(const std::string& name);

 private:
  // Status text and summary message after the run; base shortens the paths.
  void Report(const TRestoreReport& report, const QString& error, const std::string& base);

  TfrmMain& main_;
  const TRunQuestions& questions_;
};
