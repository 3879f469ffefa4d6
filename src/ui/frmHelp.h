#pragma once
// The help inside the program: the help page in a browser window of its own, so it
// shows on every desktop, with or without a program registered for HTML files.
// Links within the help move in it; links to the web go to the desktop's browser.

#include <functional>

#include <QWidget>

class QTextBrowser;
class QUrl;

class TfrmHelp : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmHelp(QWidget* parent = nullptr);

  // Shows the page (a local HTML file) and brings the window forward.
  void ShowPage(const QString& path);
  // Opens a link that leads out of the help; tests replace it.
  std::function<bool(const QUrl&)> UrlOpener;

  QTextBrowser* brwHelp = nullptr;

 private:
  void LinkClicked(const QUrl& link);
};
