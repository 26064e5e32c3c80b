#include "platform/qt/instance_door.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <algorithm>
#include <utility>

namespace hw {
namespace {

const QByteArray kKnock = QByteArrayLiteral("show\n");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");

// How long one blocking wait of the knocking copy lasts before `stop` is asked again.
constexpr int kSliceMs = 50;

}  // namespace

bool InstanceDoor::Listen(const QString& path, std::function<void()> onKnock) {
  onKnock_ = std::move(onKnock);
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) return false;
  QObject::connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (!socket->canReadLine()) return;
        // Answered first: the knocking copy waits for nothing the window does.
        if (socket->readLine() == kKnock) {
          socket->write(kAnswer);
          socket->flush();
          if (onKnock_) onKnock_();
        }
        socket->disconnectFromServer();
      });
    }
  });
  return true;
}

bool InstanceDoor::Knock(const QString& path, int timeoutMs, const std::function<bool()>& stop) {
  const QDeadlineTimer deadline(timeoutMs);
  const auto slice = [&deadline] {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, kSliceMs));
  };
  const auto waiting = [&] { return !deadline.hasExpired() && !(stop && stop()); };
  QLocalSocket socket;
  socket.connectToServer(path);
  while (socket.state() != QLocalSocket::ConnectedState) {
    if (socket.state() == QLocalSocket::UnconnectedState || !waiting()) return false;
    socket.waitForConnected(slice());
  }
  socket.write(kKnock);
  while (socket.bytesToWrite() > 0) {
    if (!waiting()) return false;
    socket.waitForBytesWritten(slice());
  }
  while (!socket.canReadLine()) {
    if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
      return false;
    }
    if (!waiting()) return false;
    socket.waitForReadyRead(slice());
  }
  return socket.readLine() == kAnswer;
}

}  // namespace hw
