#include "platform/qt/stream_http_server.h"

#include <QByteArray>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkProxy>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hw {
namespace {

using Status = QHttpServerResponder::StatusCode;

// The page a browser source opens. It shows the picture at the window's size in its own
// aspect on a transparent ground, and swaps in each newer picture only once it has loaded, so
// that nothing flickers; the event stream says when (EventSource reconnects by itself, and a
// page that reconnects loads the picture again, since it may have missed changes meanwhile).
constexpr char kPage[] = R"html(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Heronwatch</title>
<style>
html, body { margin: 0; width: 100%; height: 100%; overflow: hidden; background: transparent; }
img { display: block; width: 100vw; height: 100vh; object-fit: contain; }
</style>
</head>
<body>
<img id="picture" src="/picture.png" alt="">
<script>
let shown = document.getElementById('picture');
let asked = 0;
let newest = 0;
function load(version) {
  const ticket = ++asked;
  const next = new Image();
  next.alt = '';
  next.onload = () => {
    if (ticket < newest) return;
    newest = ticket;
    next.id = 'picture';
    shown.replaceWith(next);
    shown = next;
  };
  next.src = '/picture.png?v=' + encodeURIComponent(version);
}
const events = new EventSource('/events');
let opened = false;
events.onopen = () => {
  if (opened) load('r' + Date.now());
  opened = true;
};
events.addEventListener('picture', (event) => load(event.data));
</script>
</body>
</html>
)html";

// Input a connection may hold unread. A request of a browser is a few hundred bytes of
// headers and no path takes a body; a client that sends more stalls until its deadline.
constexpr qint64 kMaxRequestBytes = qint64{64} * 1024;

const QByteArray kContentType = QByteArrayLiteral("Content-Type");
const QByteArray kCacheControl = QByteArrayLiteral("Cache-Control");
const QByteArray kNoStore = QByteArrayLiteral("no-store");
const QByteArray kText = QByteArrayLiteral("text/plain; charset=utf-8");

// Takes the connections for the HTTP server: one beyond the limit is closed at once, and each
// one has a deadline for its next request, restarted while its answer is being taken.
class ConnectionGate final : public QTcpServer {
 public:
  ConnectionGate(int maxConnections, int requestTimeoutMs)
      : maxConnections_(maxConnections), requestTimeoutMs_(requestTimeoutMs) {
    // The program may set an application proxy for its downloads; this server listens here.
    setProxy(QNetworkProxy::NoProxy);
  }
  ~ConnectionGate() override { CloseAll(); }
  ConnectionGate(const ConnectionGate&) = delete;
  ConnectionGate& operator=(const ConnectionGate&) = delete;

  int Open() const {
    int open = 0;
    for (const auto& [socket, deadline] : deadlines_) {
      if (socket->state() == QAbstractSocket::ConnectedState) ++open;
    }
    return open;
  }

  // A request was answered: the connection has the whole time again for its next one.
  void AwaitNextRequest(QTcpSocket* socket) {
    const auto found = deadlines_.find(socket);
    if (found != deadlines_.end() && found->second->isActive()) found->second->start();
  }

  // The connection carries an event stream from now on and waits for no request.
  void KeepOpen(QTcpSocket* socket) {
    const auto found = deadlines_.find(socket);
    if (found != deadlines_.end()) found->second->stop();
  }

  void CloseAll() {
    // Copied first: deleting a socket takes it out of the table.
    std::vector<QTcpSocket*> sockets;
    sockets.reserve(deadlines_.size());
    for (const auto& [socket, deadline] : deadlines_) {
      sockets.push_back(socket);
    }
    for (QTcpSocket* socket : sockets) {
      socket->abort();
      delete socket;
    }
  }

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    if (Open() >= maxConnections_) {
      // Closed before the HTTP server sees it, so that the client learns at once.
      socket->close();
      delete socket;
      return;
    }
    socket->setReadBufferSize(kMaxRequestBytes);
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    deadline->setInterval(requestTimeoutMs_);
    QObject::connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
    // A large answer taken slowly is progress, not idleness.
    QObject::connect(socket, &QTcpSocket::bytesWritten, deadline, [deadline] {
      if (deadline->isActive()) deadline->start();
    });
    QObject::connect(socket, &QObject::destroyed, this,
                     [this, socket] { deadlines_.erase(socket); });
    deadlines_.emplace(socket, deadline);
    deadline->start();
    addPendingConnection(socket);
  }

 private:
  const int maxConnections_;
  const int requestTimeoutMs_;
  // Each open connection (a child of this server) and its request deadline (a child of it).
  std::unordered_map<QTcpSocket*, QTimer*> deadlines_;
};

// A short answer in words. An answer to HEAD has no body, only its head.
void WriteText(QHttpServerResponder& responder, const QHttpServerRequest& request,
               const QByteArray& text, Status status, QHttpServerResponder::HeaderList more = {}) {
  const QByteArray body =
      request.method() == QHttpServerRequest::Method::Head ? QByteArray() : text;
  responder.writeStatusLine(status);
  responder.writeHeaders({{kContentType, kText}, {kCacheControl, kNoStore}});
  responder.writeHeaders(more);
  responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(body.size()));
  responder.writeBody(body);
}

// The response for bytes that may not be there yet.
void WriteBytes(QHttpServerResponder& responder, const std::shared_ptr<const std::string>& bytes,
                const QByteArray& type) {
  if (!bytes) {
    responder.write(QByteArrayLiteral("Not there yet.\n"),
                    {{kContentType, kText}, {kCacheControl, kNoStore}}, Status::ServiceUnavailable);
    return;
  }
  // Not copied here: the responder copies the bytes into the socket's buffer at once.
  responder.write(QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())),
                  {{kContentType, type}, {kCacheControl, kNoStore}});
}

// One Server-Sent Event; every line of `data` is a data line of its own.
QByteArray EventText(std::string_view name, std::string_view data) {
  QByteArray text;
  text.reserve(static_cast<qsizetype>(name.size()) + static_cast<qsizetype>(data.size()) + 16);
  text.append("event: ").append(name.data(), static_cast<qsizetype>(name.size())).append('\n');
  std::size_t start = 0;
  while (true) {
    const std::size_t end = data.find_first_of("\r\n", start);
    const std::string_view line = data.substr(start, end - start);
    text.append("data: ").append(line.data(), static_cast<qsizetype>(line.size())).append('\n');
    if (end == std::string_view::npos) break;
    start = end + (data.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  text.append('\n');
  return text;
}

class StreamHttpServer final : public StreamServer {
 public:
  explicit StreamHttpServer(const StreamServerLimits& limits) : limits_(limits) {
    Route(QStringLiteral("/"), [](QHttpServerResponder&& responder) {
      responder.write(QByteArray(kPage),
                      {{kContentType, QByteArrayLiteral("text/html; charset=utf-8")},
                       {kCacheControl, kNoStore}});
    });
    Route(QStringLiteral("/picture.png"), [this](QHttpServerResponder&& responder) {
      WriteBytes(responder, picture_, QByteArrayLiteral("image/png"));
    });
    Route(QStringLiteral("/overlay.png"), [this](QHttpServerResponder&& responder) {
      WriteBytes(responder, overlay_, QByteArrayLiteral("image/png"));
    });
    Route(QStringLiteral("/latest.json"), [this](QHttpServerResponder&& responder) {
      WriteBytes(responder, latest_, QByteArrayLiteral("application/json; charset=utf-8"));
    });
    Route(QStringLiteral("/events"),
          [this](QHttpServerResponder&& responder) { StartEvents(std::move(responder)); });
    http_.setMissingHandler(
        [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
          if (gate_) gate_->AwaitNextRequest(responder.socket());
          WriteText(responder, request, QByteArrayLiteral("Not found.\n"), Status::NotFound);
        });
    ping_.setInterval(limits_.pingIntervalMs);
    QObject::connect(&ping_, &QTimer::timeout, &ping_, [this] { WriteToEvents(": ping\n\n"); });
  }

  ~StreamHttpServer() override { StreamHttpServer::Close(); }
  StreamHttpServer(const StreamHttpServer&) = delete;
  StreamHttpServer& operator=(const StreamHttpServer&) = delete;

  bool Listen(const std::string& address, int port, std::string* error) override {
    Close();
    const auto fail = [&](const std::string& reason) {
      if (error) {
        *error = "cannot listen on " + address + " port " + std::to_string(port) + ": " + reason;
      }
      return false;
    };
    QHostAddress host;
    if (!host.setAddress(QString::fromStdString(address))) {
      return fail("that is not an IPv4 or IPv6 address");
    }
    if (port < 0 || port > 65535) return fail("there is no such port");
    auto gate = std::make_unique<ConnectionGate>(limits_.maxConnections, limits_.requestTimeoutMs);
    if (!gate->listen(host, static_cast<quint16>(port))) {
      return fail(gate->errorString().toStdString());
    }
    gate_ = gate.release();
    http_.bind(gate_);  // The HTTP server owns it from now on.
    ping_.start();
    return true;
  }

  void Close() override {
    ping_.stop();
    events_.clear();
    if (gate_) {
      gate_->close();
      delete gate_.data();  // Its connections go with it.
    }
  }

  bool Listening() const override { return gate_ && gate_->isListening(); }

  std::string Address() const override {
    if (!Listening()) return {};
    const QHostAddress host = gate_->serverAddress();
    QString text = host.toString();
    if (host.protocol() == QAbstractSocket::IPv6Protocol) {
      // A zone ("fe80::1%eth0") is written "%25" in an address.
      text = u'[' + text.replace(u'%', QStringLiteral("%25")) + u']';
    }
    return "http://" + text.toStdString() + ":" + std::to_string(gate_->serverPort()) + "/";
  }

  void SetPicture(std::shared_ptr<const std::string> png) override { picture_ = std::move(png); }
  void SetOverlay(std::shared_ptr<const std::string> png) override { overlay_ = std::move(png); }
  void SetLatest(std::shared_ptr<const std::string> json) override { latest_ = std::move(json); }

  void SendEvent(std::string_view name, std::string_view data) override {
    // A line break in the name would end the event early and start one the caller never sent.
    if (name.empty() || name.find_first_of("\r\n") != std::string_view::npos) return;
    WriteToEvents(EventText(name, data));
  }

  int Connections() const override { return gate_ ? gate_->Open() : 0; }

 private:
  // Answers GET on `path` (exactly that path) with `serve`, and any other method with 405.
  void Route(const QString& path, std::function<void(QHttpServerResponder&&)> serve) {
    // The router reads its paths as regular expressions; ".png" must not match "Xpng".
    http_.route(QRegularExpression::escape(path),
                [this, serve = std::move(serve)](const QHttpServerRequest& request,
                                                 QHttpServerResponder&& responder) {
                  if (gate_) gate_->AwaitNextRequest(responder.socket());
                  if (request.method() != QHttpServerRequest::Method::Get) {
                    WriteText(responder, request, QByteArrayLiteral("Only GET is answered here.\n"),
                              Status::MethodNotAllowed,
                              {{QByteArrayLiteral("Allow"), QByteArrayLiteral("GET")}});
                    return;
                  }
                  serve(std::move(responder));
                });
  }

  // Answers /events with a response that stays open. QHttpServer's responder only writes to
  // the socket and owns nothing, so the stream goes on after it is gone: the head is written
  // without a length (the body ends when the connection does), and later events are written
  // to the socket, which its server owns.
  void StartEvents(QHttpServerResponder&& responder) {
    QTcpSocket* socket = responder.socket();
    gate_->KeepOpen(socket);
    // Anything more the client sends is not a request any longer: the HTTP server stops
    // reading this connection, and its input is dropped so that it cannot pile up.
    QObject::disconnect(socket, &QTcpSocket::readyRead, &http_, nullptr);
    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                     [socket] { socket->skip(socket->bytesAvailable()); });
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader(kContentType, QByteArrayLiteral("text/event-stream"));
    responder.writeHeader(kCacheControl, kNoStore);
    responder.writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    responder.writeBody("retry: 2000\n\n");
    events_.emplace_back(socket);
  }

  // Writes `bytes` to every event client, and closes one that has fallen too far behind.
  void WriteToEvents(const QByteArray& bytes) {
    std::erase_if(events_, [](const QPointer<QTcpSocket>& socket) {
      return !socket || socket->state() != QAbstractSocket::ConnectedState;
    });
    for (const QPointer<QTcpSocket>& socket : events_) {
      socket->write(bytes);
      if (socket->bytesToWrite() > limits_.maxUnsentEventBytes) socket->abort();
    }
  }

  const StreamServerLimits limits_;
  QHttpServer http_;
  QPointer<ConnectionGate> gate_;
  QTimer ping_;
  std::shared_ptr<const std::string> picture_;
  std::shared_ptr<const std::string> overlay_;
  std::shared_ptr<const std::string> latest_;
  std::vector<QPointer<QTcpSocket>> events_;
};

}  // namespace

std::unique_ptr<StreamServer> MakeStreamHttpServer(const StreamServerLimits& limits) {
  return std::make_unique<StreamHttpServer>(limits);
}

}  // namespace hw
