#pragma once
// SIGTERM, SIGHUP and SIGINT end the desktop program the way closing it at a logout
// does: the event loop is left (after a running search or replace has ended) and the
// settings are written, instead of the process dying with the histories of the
// session. The signal handler only writes a byte into a pipe; the event loop reads
// it and emits Requested.

#include <QObject>

class QSocketNotifier;

class TTerminationSignals : public QObject {
  Q_OBJECT
 public:
  // Installs the handlers; one object per process.
  explicit TTerminationSignals(QObject* parent = nullptr);
  // Puts the default handlers back.
  ~TTerminationSignals() override;

 signals:
  void Requested(int signal);

 private:
  void Read();

  QSocketNotifier* notifier_ = nullptr;
};
