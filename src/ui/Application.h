#pragma once
// The program's QApplication: an exception that leaves one of our event handlers is
// caught here, before it can unwind through Qt's event loop, shown to the user and
// ends the process with exit code 1. The settings are not written then: the state
// that raised the exception may be broken.

#include <functional>

#include <QApplication>
#include <QString>

class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Runs handler; an exception that leaves it is reported (ReportUnexpected) and
  // false returned (when the exit hook returns at all).
  static bool Guard(const std::function<bool()>& handler);
  // Shows rows 56, the message and 57 in an error box (caption "Mirun") through the
  // dialogs seam, then ends the process through the exit hook with code 1.
  static void ReportUnexpected(const QString& message);
  // The message shown for an exception that is not a std::exception.
  static QString UnknownExceptionText();

  // How the process ends after an unexpected exception; tests replace it. The
  // default flushes the standard streams and ends at once, without running
  // destructors or writing settings.
  static std::function<void(int)>& ExitHook();
};
