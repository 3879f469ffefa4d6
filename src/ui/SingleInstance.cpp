#include "ui/SingleInstance.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "platform/InstanceName.h"
#include "platform/SideFile.h"

namespace {

const QByteArray kRequest = QByteArrayLiteral("handover\n");
const QByteArray kAcknowledgement = QByteArrayLiteral("ok\n");
// A request line longer than this is no request of ours.
constexpr int kMaxRequest = 64;

}  // namespace

TSingleInstance::TSingleInstance(const std::string& socketPath, const std::string& sideFile, QObject* parent)
    : QObject(parent), socketPath_(socketPath), sideFile_(sideFile) {}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();  // removes the socket file
}

std::string TSingleInstance::SocketPathForThisProgram() { return hovrak::ThisInstanceSocketPath(); }

bool TSingleInstance::Listening() const { return server_ && server_->isListening(); }

bool TSingleInstance::Check(const std::vector<std::string>& args, int timeoutMs) {
  if (!lock_.TryAcquire(socketPath_ + ".lock")) {
    // The side file is written even when it fails: the running instance then reads
    // whatever the file holds, as a hand-over always does.
    hovrak::WriteSideFile(sideFile_, args);
    SendHandOver(timeoutMs);
    return false;
  }
  // Nobody holds the lock, so a socket file left there is a crashed instance's.
  const QString name = QString::fromLocal8Bit(socketPath_.c_str());
  QLocalServer::removeServer(name);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::NewConnection);
  // When the socket cannot be made (no writable runtime folder) the program still
  // runs, only without hand-over.
  server_->listen(name);
  return true;
}

bool TSingleInstance::SendHandOver(int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  const QString name = QString::fromLocal8Bit(socketPath_.c_str());
  // The running instance may hold the lock and not listen yet (it is starting):
  // try again until the time is up.
  while (clock.elapsed() < timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed())))) {
      QThread::msleep(50);
      continue;
    }
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed())))) return false;
    QByteArray reply;
    while (!reply.contains('\n') && clock.elapsed() < timeoutMs) {
      if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed())))) break;
      reply += socket.readAll();
    }
    return reply == kAcknowledgement;
  }
  return false;
}

void TSingleInstance::NewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { ReadRequest(socket); });
    if (socket->bytesAvailable() > 0) ReadRequest(socket);
  }
}

void TSingleInstance::ReadRequest(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kMaxRequest) socket->abort();
    return;
  }
  const QByteArray line = socket->readLine(kMaxRequest + 1);
  if (line != kRequest) {
    socket->abort();
    return;
  }
  // Read now: a later start may overwrite the file before a deferred hand-over is
  // applied. Acknowledged on receipt: the arguments are safe here, and the later
  // start ends at once even while a run or a question holds them back.
  const std::vector<std::string> args = hovrak::ReadSideFile(sideFile_);
  socket->write(kAcknowledgement);
  socket->flush();
  socket->disconnectFromServer();
  if (OnHandOver) OnHandOver(args);
}
