#include "ui/RunQuestions.h"

#include <cstring>

#include <QWidget>

#include "backup/BackupReport.h"
#include "front/FileErrorQuestion.h"
#include "front/SizeQuestionText.h"
#include "front/SystemErrorText.h"
#include "shared/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/QuestionCursor.h"
#include "ui/UiText.h"
#include "ui/frmDeleteBackupDialog.h"
#include "ui/frmFileErrorDialog.h"

namespace {

const QString kCaption = QStringLiteral("Mirun");
// Copies that could not be made, named one by one in the question; the rest counted.
constexpr std::size_t kListedFailures = 20;

}  // namespace

QWidget* TRunQuestions::Parent() const {
  // The progress window stays on top of the others; a question parented to it is
  // its transient, which the window manager keeps above it.
  return progress_.isVisible() ? &progress_ : &window_;
}

int TRunQuestions::FileError(const hovrak::TFileErrorQuestion& question, const QString& forceCaption) const {
  const TQuestionCursor cursor;
  return TfrmFileErrorDialog::ShowFileErrorDialog(Parent(), hovrak::FromNarrow(question.Text), question.Forcible,
                                                  forceCaption);
}

bool TRunQuestions::ConfirmSize(const TBackup& backup, std::uint64_t total) const {
  const TQuestionCursor cursor;
  const std::string text = hovrak::SizeQuestionText(total, backup.UnitsToPrune(total));
  return TDialogs::Current().Message(Parent(), kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Information,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool TRunQuestions::ConfirmDelete(const TBackup::TUnitPointers& units) const {
  const TQuestionCursor cursor;
  return TfrmDeleteBackupDialog::ShowDeleteBackupDialog(Parent(), units);
}

bool TRunQuestions::GoOnWithoutBackup(const TBackupReport& report, const QString& question) const {
  QString text = hovrak::Msg(TMsg::BackupIncomplete) + QLatin1Char('\n');
  std::size_t listed = 0;
  for (const TBackupFailure& failure : report.Failures) {
    if (listed == kListedFailures) {
      text += hovrak::FromNarrow(MessageText(TMsg::MoreCount, report.Failures.size() - listed)) + QLatin1Char('\n');
      break;
    }
    text += QStringLiteral("\n%1\n    （%2）")
                .arg(hovrak::FromNarrow(failure.Path), hovrak::FromNarrow(hovrak::SystemErrorText(failure.Error)));
    ++listed;
  }
  if (!report.Failures.empty()) text += QLatin1Char('\n');
  if (report.IndexError != 0) {
    text += QLatin1Char('\n') + hovrak::Msg(TMsg::IndexNotWritten) +
            QStringLiteral("\n%1\n    （%2）\n")
                .arg(hovrak::FromNarrow(settingsPath_), hovrak::FromNarrow(hovrak::SystemErrorText(report.IndexError)));
  }
  text += QLatin1Char('\n') + question;
  const TQuestionCursor cursor;
  return TDialogs::Current().Message(Parent(), kCaption, text, TDialogs::TIcon::Warning,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool TRunQuestions::YesNo(QWidget* parent, const std::string& text) const {
  const TQuestionCursor cursor;
  return TDialogs::Current().Message(parent, kCaption, hovrak::FromNarrow(text), TDialogs::TIcon::Question,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
