#include "ui/frmMain.h"

#include <algorithm>
#include <exception>

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

#include "backup/Backup.h"
#include "backup/SettingsBackupIndex.h"
#include "front/DisplayBase.h"
#include "front/FileErrorQuestion.h"
#include "front/PathListText.h"
#include "front/ProcessRow.h"
#include "front/TargetCheck.h"
#include "settings/History.h"
#include "settings/Option.h"
#include "shared/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/MessageCaption.h"
#include "ui/RunQuestions.h"
#include "ui/UiText.h"
#include "ui/frmProcess.h"
#include "ui/frmResult.h"

// The search run from the main window and the core's callbacks during a search or
// replace.

void TfrmMain::btnSearchClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  if (const int row = hovrak::CheckTargets(paths)) {
    TDialogs::Current().Message(this, hovrak::MessageCaption(), hovrak::Msg(row), TDialogs::TIcon::Error,
                                QMessageBox::Ok);
    return;
  }
  // Nothing to search in, or nothing to search for: said before anything changes,
  // and nothing goes into the histories.
  if (const std::string missing = hovrak::MissingTargetText(paths); !missing.empty()) {
    TDialogs::Current().Message(this, hovrak::MessageCaption(), hovrak::FromNarrow(missing), TDialogs::TIcon::Error,
                                QMessageBox::Ok);
    return;
  }
  if (SearchedText().isEmpty()) {
    TDialogs::Current().Message(this, hovrak::MessageCaption(), hovrak::Msg(TMsg::NoSearchText), TDialogs::TIcon::Error,
                                QMessageBox::Ok);
    return;
  }
  app_.Option->Mode = static_cast<TSearchMode>(std::clamp(cmbMode->currentIndex(), 0, 2));
  app_.Option->SubDir = chkSubDir->isChecked();
  UpdateHistory(cmbPath);
  UpdateHistory(cmbFilter);
  UpdateHistory(cmbSearched);
  SetState(TUiState::InSearch);
  frmResult_->cmbReplacing->setEditText(app_.Option->Mode == TSearchMode::Regex ? QString() : SearchedText());
  displayBase_ = hovrak::DisplayBase(paths);
  skipAll_.clear();
  skipped_ = 0;

  int outcome = SearchFailed;
  QString error;
  try {
    outcome = app_.Search(paths, hovrak::SplitFilterText(hovrak::ToNarrow(cmbFilter->currentText())),
                          hovrak::ToNarrow(SearchedText()));
  } catch (const std::exception& e) {
    outcome = SearchFailed;
    error = QString::fromUtf8(e.what());
  }
  frmResult_->RefreshPlaces();
  ReportSearchOutcome(outcome, error);
}

void TfrmMain::ReportSearchOutcome(int outcome, const QString& error) {
  // Files and folders passed over without a question are counted after the text.
  const QString skippedNote =
      skipped_ > 0 ? hovrak::FromNarrow(MessageText(TMsg::SearchSkippedNote, skipped_)) : QString();
  if ((outcome == SearchCompleted || outcome == SearchStopped) && app_.PlaceList) {
    SetState(app_.PlaceList->Count() > 0 ? TUiState::Found : TUiState::NotFound);
    ShowStatus(hovrak::Msg(outcome == SearchStopped ? TMsg::SearchStopped : TMsg::SearchCompleted) + skippedNote);
    return;
  }
  SetState(TUiState::Ready);
  QString text;
  switch (outcome) {
    case SearchStopped: ShowStatus(hovrak::Msg(TMsg::SearchStopped) + skippedNote); return;
    case SearchInvalidPattern: text = hovrak::Msg(TMsg::InvalidSearched); break;
    case SearchNoTargetFiles: text = hovrak::Msg(TMsg::NoTargetFiles); break;
    default: text = hovrak::Msg(TMsg::ErrorOccurred) + QLatin1Char('\n') + error; break;
  }
  TDialogs::Current().Message(this, hovrak::MessageCaption(), text, TDialogs::TIcon::None, QMessageBox::Ok);
}

QString TfrmMain::SearchedText() const { return cmbSearched->currentText(); }

void TfrmMain::UpdateHistory(QComboBox* box) {
  TStringVector items;
  items.reserve(static_cast<std::size_t>(box->count()));
  for (int i = 0; i < box->count(); ++i) items.push_back(hovrak::ToNarrow(box->itemText(i)));
  const std::string text = hovrak::AddToHistory(items, hovrak::ToNarrow(box->currentText()));
  // The box's own change handler must not run: the text is only cleaned.
  const QSignalBlocker blocker(box);
  box->clear();
  for (const std::string& item : items) box->addItem(hovrak::FromNarrow(item));
  box->setCurrentIndex(0);
  box->setEditText(hovrak::FromNarrow(text));
}

void TfrmMain::InstallCallbacks() {
  app_.OnProcess = [this](TProcessType kind, const std::string& path, int index, int count) {
    OnProcess(kind, path, index, count);
  };
  app_.OnPlaceAdded = [this](TAbstractPlace* place) { OnPlaceAdded(place); };
  app_.OnFileError = [this](const std::string& path, TFileOperationResult result, int error) {
    return OnFileError(path, result, error);
  };
  app_.OnBackupFailed = [this](const TBackupReport& report) { return OnBackupFailed(report); };
  app_.OnSkipped = [this](const std::string&, TSkipReason) { ++skipped_; };
  app_.Backup->OnConfirmSize = [this](std::uint64_t total) { return OnConfirmSize(total); };
  app_.Backup->OnConfirmDelete = [this](const TBackup::TUnitPointers& units) {
    return questions_->ConfirmDelete(units);
  };
  // Units are entered into the settings file as they are made or pruned, under the
  // lock mirun-cli takes too, so runs of both keep each other's units.
  backupIndex_ = std::make_unique<TSettingsBackupIndex>(settingsPath_);
  app_.Backup->IndexStore = backupIndex_.get();
}

// ---------------------------------------------------------------------------------
// The core's callbacks

void TfrmMain::OnProcess(TProcessType kind, const std::string& path, int index, int count) {
  frmProcess_->Update(hovrak::Msg(hovrak::ProcessRow(kind)),
                      hovrak::FromNarrow(hovrak::ShortenPath(path, displayBase_)), index, count);
  frmProcess_->StopCheck();
}

void TfrmMain::OnPlaceAdded(TAbstractPlace*) {
  // Only marks the list for the coalesced refresh: a search may add millions.
  frmResult_->RefreshPlaces(true, true);
  frmProcess_->StopCheck();
}

QWidget* TfrmMain::QuestionParent() { return questions_->Parent(); }

TDecision TfrmMain::OnFileError(const std::string& path, TFileOperationResult result, int error) {
  if (skipAll_.count(result)) return TDecision::Skip;
  const int answer = questions_->FileError(
      hovrak::MakeFileErrorQuestion(path, result, state_ == TUiState::InReplace, app_.Option->CharCode, error));
  if (answer == hovrak::FileErrorSkipAll) {
    skipAll_.insert(result);
    return TDecision::Skip;
  }
  return hovrak::DecisionFromAnswer(answer);
}

bool TfrmMain::OnConfirmSize(std::uint64_t total) { return questions_->ConfirmSize(*app_.Backup, total); }

bool TfrmMain::OnBackupFailed(const TBackupReport& report) {
  return questions_->GoOnWithoutBackup(report, hovrak::Msg(TMsg::GoOnWithoutBackupQuestion));
}
