#pragma once
// One running instance per program file. The first start takes the instance lock
// and listens on a local socket; a later start finds the lock taken, writes its
// arguments into the side file, sends a one-line "handover" request over the socket,
// waits a few seconds for the acknowledgement and ends without opening a window.
// The running instance reads the side file when the request comes in, acknowledges
// at once (the later start need not wait for a run to end) and hands the arguments
// to OnHandOver, which applies them when it can.

#include <functional>
#include <string>
#include <vector>

#include <QObject>

#include "platform/InstanceLock.h"

class QLocalServer;
class QLocalSocket;

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  // How long a later start waits, in all, for the running instance to accept the
  // request and acknowledge it (a running instance that is starting up may take a
  // moment to listen).
  static constexpr int kHandOverTimeoutMs = 5000;

  // socketPath: the instance's local socket (its lock file is socketPath + ".lock");
  // sideFile: where the arguments go.
  TSingleInstance(const std::string& socketPath, const std::string& sideFile, QObject* parent = nullptr);
  ~TSingleInstance() override;
  // The instance of this program file with this process's settings folder.
  static std::string SocketPathForThisProgram();

  // true: this is the first instance, now listening; go on. false: the arguments
  // were handed to the running instance (acknowledged or not); end with code 0.
  bool Check(const std::vector<std::string>& args, int timeoutMs = kHandOverTimeoutMs);

  // The running instance: called with the handed-over arguments, after the request
  // was acknowledged.
  std::function<void(const std::vector<std::string>&)> OnHandOver;

  bool Listening() const;
  const std::string& SocketPath() const { return socketPath_; }

 private:
  // The later start's side: true when the request was acknowledged in time.
  bool SendHandOver(int timeoutMs);
  void NewConnection();
  void ReadRequest(QLocalSocket* socket);

  std::string socketPath_;
  std::string sideFile_;
  hovrak::TInstanceLock lock_;
  QLocalServer* server_ = nullptr;
};
