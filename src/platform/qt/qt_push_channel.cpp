#include "platform/qt/qt_push_channel.h"

#include <QUrl>
#include <QWebSocket>

namespace hw {
namespace {

// A report with a few thousand observation points is well below this; anything larger is not
// a message of the service.
constexpr qint64 kLargestMessage = qint64{8} * 1024 * 1024;

}  // namespace

QtPushChannel::QtPushChannel() = default;

QtPushChannel::~QtPushChannel() {
  Close();
}

void QtPushChannel::Open(const std::string& url) {
  Close();
  socket_ = std::make_unique<QWebSocket>(QString(), QWebSocketProtocol::VersionLatest);
  QWebSocket* socket = socket_.get();
  socket->setMaxAllowedIncomingMessageSize(kLargestMessage);
  QObject::connect(socket, &QWebSocket::connected, socket, [this] {
    if (events_ != nullptr) events_->OnPushConnected();
  });
  QObject::connect(socket, &QWebSocket::pong, socket, [this](quint64, const QByteArray&) {
    if (events_ != nullptr) events_->OnPushPong();
  });
  QObject::connect(socket, &QWebSocket::textMessageReceived, socket,
                   [this](const QString& message) {
                     if (events_ != nullptr) events_->OnPushMessage(message.toStdString());
                   });
  // A failed attempt reports an error and may also report the disconnection: the first of
  // the two ends the connection, once.
  QObject::connect(socket, &QWebSocket::disconnected, socket, [this, socket] {
    const QString reason = socket->closeReason().isEmpty()
                               ? QStringLiteral("closed, code %1").arg(socket->closeCode())
                               : socket->closeReason();
    Closed(socket, reason.toStdString());
  });
  QObject::connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), socket,
                   [this, socket](QAbstractSocket::SocketError) {
                     Closed(socket, socket->errorString().toStdString());
                   });
  socket->open(QUrl(QString::fromStdString(url)));
}

void QtPushChannel::Close() {
  if (!socket_) return;
  QWebSocket* socket = socket_.release();
  socket->disconnect();
  socket->abort();
  socket->deleteLater();
}

void QtPushChannel::Ping() {
  if (socket_) socket_->ping();
}

void QtPushChannel::Closed(QWebSocket* socket, const std::string& reason) {
  if (socket != socket_.get()) return;
  // The socket is inside one of its own signals: it is deleted later, not here.
  static_cast<void>(socket_.release());
  socket->disconnect();
  socket->abort();
  socket->deleteLater();
  if (events_ != nullptr) events_->OnPushClosed(reason);
}

}  // namespace hw
