#include "ui/frmHelp.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(QStringLiteral("Mirun - ヘルプ"));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false, 14));
  UrlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  brwHelp = new QTextBrowser(this);
  brwHelp->setObjectName(QStringLiteral("brwHelp"));
  // Every link comes here first: only the help's own pages open inside.
  brwHelp->setOpenLinks(false);
  connect(brwHelp, &QTextBrowser::anchorClicked, this, &TfrmHelp::LinkClicked);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(brwHelp);
  resize(760, 600);
}

void TfrmHelp::ShowPage(const QString& path) {
  brwHelp->setSource(QUrl::fromLocalFile(path));
  show();
  raise();
  activateWindow();
}

void TfrmHelp::LinkClicked(const QUrl& link) {
  const QUrl target = brwHelp->source().resolved(link);
  if (target.isLocalFile()) {
    brwHelp->setSource(target);
  } else if (UrlOpener) {
    UrlOpener(target);
  }
}
