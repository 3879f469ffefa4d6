#include "ui/RestoreRun.h"

#include <exception>
#include <set>

#include <boost/format.hpp>

#include "backup/BackupRestore.h"
#include "backup/SettingsBackupIndex.h"
#include "front/BackupUnitLines.h"
#include "front/DisplayBase.h"
#include "front/FileErrorQuestion.h"
#include "front/ProcessRow.h"
#include "front/RestoreSummaryText.h"
#include "front/TimeText.h"
#include "shared/MessageTable.h"
#include "ui/Dialogs.h"
#include "ui/RunQuestions.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"
#include "ui/frmProcess.h"
#include "ui/frmRestoreDialog.h"
#include "ui/frmResult.h"

namespace {

const QString kCaption = QStringLiteral("Mirun");

}  // namespace

std::string TRestoreRun::ChooseUnit(TSettingsBackupIndex* index) {
  TBackup& backup = *main_.App().Backup;
  // The index as it is on disk now, under its lock: units mirun-cli made or pruned
  // meanwhile are listed as they are. When it cannot be read, the units known here.
  if (index) {
    try {
      index->Update(backup, [] {});
    } catch (const std::exception&) {
    }
  }
  TBackup::TUnitPointers units;
  for (const auto& unit : backup.Units) units.push_back(unit.get());
  return TfrmRestoreDialog::ShowRestoreDialog(&main_, units);
}

void TRestoreRun::Run(const std::string& name) {
  TBackup& backup = *main_.App().Backup;
  const TBackupUnit* listed = backup.FindUnit(name);
  // Progress paths are shortened against the unit's base folder.
  const std::string base = listed ? listed->BaseDir : std::string();
  TBackupRestore restore(backup);
  std::set<TRestoreProblem> skipAll;
  // The run state begins with the first progress report, after the question about a
  // unit restored before: the results are discarded (the files they point into
  // change), the controls are disabled and the progress dialog is shown.
  const auto enterRun = [this] {
    if (main_.State() == TUiState::InReplace) return;
    main_.SetState(TUiState::Ready);
    main_.SetState(TUiState::InReplace);
    main_.frmResult()->hide();  // no results to show during an undo
  };
  restore.OnProcess = [this, &base, &enterRun](TProcessType kind, const std::string& path, int index, int count) {
    enterRun();
    main_.frmProcess()->Update(hovrak::Msg(hovrak::RestoreProcessRow(kind)),
                               hovrak::FromNarrow(hovrak::ShortenPath(path, base)), index, count);
    main_.frmProcess()->StopCheck();
  };
  restore.OnFileError = [this, &restore, &skipAll](const std::string& path, TFileOperationResult, int error) {
    if (skipAll.count(restore.Problem)) return TDecision::Skip;
    const int answer = questions_.FileError(hovrak::MakeRestoreQuestion(path, restore.Problem, error),
                                            hovrak::Msg(TMsg::ForceRestore));
    if (answer == hovrak::FileErrorSkipAll) {
      skipAll.insert(restore.Problem);
      return TDecision::Skip;
    }
    return hovrak::DecisionFromAnswer(answer);
  };
  restore.OnConfirmAgain = [this](const TBackupUnit& unit) {
    return questions_.YesNo(
        questions_.Parent(),
        (boost::format(MessageTable(TMsg::RestoredBefore)) % hovrak::TimeText(unit.Restored)).str());
  };
  restore.OnBackupFailed = [this](const TBackupReport& report) {
    return questions_.GoOnWithoutBackup(report, hovrak::Msg(TMsg::RestoreWithoutBackup));
  };
  restore.OnConfirmOldUnit = [this](const TBackupUnit& unit) {
    return questions_.YesNo(&main_, (boost::format(MessageTable(TMsg::OldUnitQuestion)) % unit.BaseDir).str());
  };

  TRestoreReport report;
  QString error;
  try {
    report = restore.Run(name);
  } catch (const std::exception& e) {
    error = QString::fromLocal8Bit(e.what());
  }
  if (main_.State() == TUiState::InReplace) main_.SetState(TUiState::Ready);
  Report(report, error, base);
}

void TRestoreRun::Report(const TRestoreReport& report, const QString& error, const std::string& base) {
  if (!error.isEmpty()) {
    TDialogs::Current().Message(&main_, kCaption, hovrak::Msg(TMsg::ErrorOccurred) + QLatin1Char('\n') + error,
                                TDialogs::TIcon::Error, QMessageBox::Ok);
    return;
  }
  if (!report.Found) {
    TDialogs::Current().Message(&main_, kCaption, hovrak::Msg(TMsg::UnitVanished), TDialogs::TIcon::Warning,
                                QMessageBox::Ok);
    return;
  }
  if (report.RestoredBefore) return;
  if (report.BackupFailed) {
    main_.ShowStatus(hovrak::Msg(TMsg::RestoreStopped));
    return;
  }
  main_.ShowStatus(hovrak::Msg(report.Stopped ? TMsg::RestoreStopped : TMsg::RestoreCompleted));
  const hovrak::TRestoreSummary summary = hovrak::RestoreSummaryText(report, main_.SettingsPath(), 20, base);
  std::string text = summary.Text;
  // The backup of the files the undo overwrote may have pruned older units.
  if (!report.Backup.Pruned.empty()) text += "\n\n" + hovrak::PrunedUnitsText(report.Backup.Pruned);
  TDialogs::Current().Message(
      &main_, kCaption, hovrak::FromNarrow(text),
      summary.Problems || report.Stopped ? TDialogs::TIcon::Warning : TDialogs::TIcon::Information, QMessageBox::Ok);
}
