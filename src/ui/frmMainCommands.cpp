#include "ui/frmMain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include "backup/SettingsBackupIndex.h"
#include "front/PathListText.h"
#include "shared/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/MessageCaption.h"
#include "ui/RestoreRun.h"
#include "ui/UiText.h"
#include "ui/frmAbout.h"
#include "ui/frmCopyResult.h"
#include "ui/frmHelp.h"
#include "ui/frmMultiLineEdit.h"
#include "ui/frmOption.h"

// The main window's commands: the menus, the reference buttons, dropped files and the
// undo of a replace.

void TfrmMain::btnPathRefClick() { pmnPathRef->popup(btnPathRef->mapToGlobal(btnPathRef->rect().bottomLeft())); }

void TfrmMain::mniDirRefClick() {
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  const QString start = paths.empty() ? QString() : hovrak::FromNarrow(paths.front());
  const QString folder = TDialogs::Current().ExistingDirectory(this, hovrak::Msg(TMsg::ChooseFolderTitle), start);
  if (folder.isEmpty()) return;
  cmbPath->setEditText(folder);
  ctlSearchChange();
}

void TfrmMain::mniFileRefClick() {
  const TStringVector paths = hovrak::SplitTargetText(hovrak::ToNarrow(cmbPath->currentText()));
  // A folder is where the dialog starts; a file is offered as the name.
  const QString start = paths.empty() ? QString() : hovrak::FromNarrow(paths.front());
  const QStringList files = TDialogs::Current().OpenFileNames(this, QStringLiteral("対象ファイルの参照"), start,
                                                              QStringLiteral("全てのファイル (*)"));
  if (files.isEmpty()) return;
  TStringVector chosen;
  for (const QString& file : files) chosen.push_back(hovrak::ToNarrow(file));
  cmbPath->setEditText(hovrak::FromNarrow(hovrak::JoinTargetText(chosen)));
  ctlSearchChange();
}

void TfrmMain::DropFiles(const QStringList& paths) {
  if (paths.isEmpty() || IsBusy(state_)) return;
  TStringVector dropped;
  for (const QString& path : paths) dropped.push_back(hovrak::ToNarrow(path));
  const QSignalBlocker blocker(cmbPath);
  cmbPath->setEditText(hovrak::FromNarrow(hovrak::JoinTargetText(dropped)));
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !IsBusy(state_)) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile());
  }
  if (paths.isEmpty()) return;
  DropFiles(paths);
  event->acceptProposedAction();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && btnSearch->isEnabled()) {
    btnSearch->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TfrmMain::btnSearchedEditClick() {
  if (IsBusy(state_)) return;
  const QString current = cmbSearched->currentText();
  const QString edited = TfrmMultiLineEdit::Edit(this, *app_.Option, hovrak::Msg(TMsg::EditSearchedTitle), current,
                                                 [this]() { OptionsChanged(); });
  if (edited != current) cmbSearched->setEditText(edited);
}

void TfrmMain::mniOptionClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  if (TDialogs::Current().Exec(*frmOption_) == QDialog::Accepted) OptionsChanged();
}

QString TfrmMain::HelpFilePath() {
  const QString besideProgram =
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/index.html"));
  if (QFileInfo(besideProgram).isFile()) return besideProgram;
#ifdef MIRUN_INSTALLED_HELP
  // Installed: bin/mirun finds share/mirun/help/index.html.
  const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(MIRUN_INSTALLED_HELP));
  if (QFileInfo(installed).isFile()) return QDir::cleanPath(installed);
#endif
#ifdef MIRUN_SOURCE_HELP
  const QString inSources = QString::fromUtf8(MIRUN_SOURCE_HELP);
  if (QFileInfo(inSources).isFile()) return inSources;
#endif
  return QString();
}

void TfrmMain::mniHelpCClick() {
  const QString path = HelpFilePath();
  if (path.isEmpty()) {
    const QString expected = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/index.html"));
    TDialogs::Current().Message(this, hovrak::MessageCaption(),
                                hovrak::FromNarrow(MessageText(TMsg::HelpNotFound, hovrak::ToNarrow(expected))),
                                TDialogs::TIcon::Warning, QMessageBox::Ok);
    return;
  }
  // Shown inside the program: a desktop without a program for HTML files would
  // otherwise show nothing.
  if (!frmHelp_) {
    frmHelp_ = new TfrmHelp(this);
    frmHelp_->UrlOpener = [this](const QUrl& url) { return UrlOpener(url); };
  }
  frmHelp_->ShowPage(path);
}

void TfrmMain::mniAboutClick() {
  if (IsBusy(state_)) return;
  TDialogs::Current().Exec(*frmAbout_);
}

void TfrmMain::mniCopyResultClick() {
  if (state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  TDialogs::Current().Exec(*frmCopyResult_);
}

void TfrmMain::mniRestoreClick() {
  if (state_ != TUiState::Ready && state_ != TUiState::Found && state_ != TUiState::NotFound) return;
  TRestoreRun restore(*this, *questions_);
  const std::string name = restore.ChooseUnit(backupIndex_.get());
  if (!name.empty()) restore.Run(name);
}
