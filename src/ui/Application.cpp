#include "ui/Application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "ui/Dialogs.h"
#include "ui/UiText.h"

namespace {

void ExitNow(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  Guard([&]() {
    result = QApplication::notify(receiver, event);
    return result;
  });
  return result;
}

bool TApplication::Guard(const std::function<bool()>& handler) {
  // The report happens outside the catch blocks, so that a second exception from
  // the message box itself cannot escape them.
  QString message;
  try {
    return handler();
  } catch (const std::exception& e) {
    message = QString::fromUtf8(e.what());
  } catch (...) {
    message = UnknownExceptionText();
  }
  ReportUnexpected(message);
  return false;
}

void TApplication::ReportUnexpected(const QString& message) {
  try {
    TDialogs::Current().Message(nullptr, QStringLiteral("Mirun"),
                                hovrak::Msg(TMsg::UnexpectedError) + QLatin1Char('\n') + message + QLatin1Char('\n') +
                                    hovrak::Msg(TMsg::PleaseReportError),
                                TDialogs::TIcon::Error, QMessageBox::Ok);
  } catch (...) {
    // Ending is what matters now.
  }
  ExitHook()(1);
}

QString TApplication::UnknownExceptionText() { return hovrak::Msg(TMsg::UnknownException); }

std::function<void(int)>& TApplication::ExitHook() {
  static std::function<void(int)> hook = ExitNow;
  return hook;
}
