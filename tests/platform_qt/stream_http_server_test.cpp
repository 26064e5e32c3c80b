#include "platform/qt/stream_http_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace hw {
namespace {

// Runs the event loop until `done` says so; false when `timeoutMs` passed first.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  const QDeadlineTimer deadline(timeoutMs);
  QTimer wake;  // Ends each wait below when nothing else happens.
  wake.start(5);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

quint16 PortOf(const StreamServer& server) {
  return static_cast<quint16>(QUrl(QString::fromStdString(server.Address())).port());
}

std::unique_ptr<StreamServer> ListeningServer(const StreamServerLimits& limits = {}) {
  auto server = MakeStreamHttpServer(limits);
  std::string error;
  EXPECT_TRUE(server->Listen("127.0.0.1", 0, &error)) << error;
  return server;
}

std::shared_ptr<const std::string> Bytes(std::string bytes) {
  return std::make_shared<const std::string>(std::move(bytes));
}

struct Answer {
  int status = 0;
  QByteArray type;
  QByteArray cacheControl;
  QByteArray body;
};

Answer Get(QNetworkAccessManager& manager, const std::string& url) {
  const std::unique_ptr<QNetworkReply> reply(
      manager.get(QNetworkRequest(QUrl(QString::fromStdString(url)))));
  EXPECT_TRUE(WaitUntil([&] { return reply->isFinished(); })) << url;
  return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
          reply->rawHeader("Content-Type"), reply->rawHeader("Cache-Control"), reply->readAll()};
}

// A client socket that keeps what it receives; one that does not read leaves it unread.
struct RawClient {
  explicit RawClient(quint16 port, bool reads = true) {
    socket.setProxy(QNetworkProxy::NoProxy);
    if (reads) {
      QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
    }
    socket.connectToHost(QHostAddress::LocalHost, port);
  }
  bool Closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }
  // The status code of the answer to `request`, sent as it is; 0 when none came.
  int Ask(const QByteArray& request) {
    socket.write(request);
    WaitUntil([this] { return received.contains("\r\n\r\n") || Closed(); });
    return received.split(' ').value(1).toInt();
  }

  QTcpSocket socket;
  QByteArray received;
};

class StreamHttpServerTest : public ::testing::Test {
 protected:
  StreamHttpServerTest() { manager_.setProxy(QNetworkProxy::NoProxy); }
  QNetworkAccessManager manager_;
};

// The page, and the three kinds of bytes: "not yet" until they are given, then exactly the
// bytes given last (binary ones too), with their type and never cached, also with the query
// that the page adds to defeat caches.
TEST_F(StreamHttpServerTest, ServesThePageAndTheBytesGivenLast) {
  const auto server = ListeningServer();
  const std::string root = server->Address();

  const Answer page = Get(manager_, root);
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.type, "text/html; charset=utf-8");
  for (const char* part :
       {"<meta charset=\"utf-8\">", "<title>Heronwatch</title>", "object-fit: contain",
        "background: transparent", "new EventSource('/events')", "'picture'", "/picture.png?v="}) {
    EXPECT_TRUE(page.body.contains(part)) << part;
  }

  struct Case {
    const char* path;
    std::function<void(std::shared_ptr<const std::string>)> set;
    const char* type;
    std::string first;
    std::string second;
  };
  const Case cases[] = {
      {"picture.png", [&](auto bytes) { server->SetPicture(std::move(bytes)); }, "image/png",
       std::string("\x89PNG\r\n\x1a\n\0\xff", 10), "\x89PNG second"},
      {"overlay.png", [&](auto bytes) { server->SetOverlay(std::move(bytes)); }, "image/png",
       std::string("\x89PNG\0overlay", 12), ""},
      {"latest.json", [&](auto bytes) { server->SetLatest(std::move(bytes)); },
       "application/json; charset=utf-8", "{\"place\":\"\xe7\x9f\xb3\xe5\xb7\x9d\"}", "[]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string url = root + c.path;
    const Answer none = Get(manager_, url);
    EXPECT_EQ(none.status, 503);
    EXPECT_EQ(none.cacheControl, "no-store");

    c.set(Bytes(c.first));
    const Answer first = Get(manager_, url + "?v=17");
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.type, c.type);
    EXPECT_EQ(first.cacheControl, "no-store");
    EXPECT_EQ(first.body.toStdString(), c.first);

    c.set(Bytes(c.second));
    EXPECT_EQ(Get(manager_, url).body.toStdString(), c.second);
    c.set(nullptr);
    EXPECT_EQ(Get(manager_, url).status, 503);
  }
}

// Only GET on the five paths is answered. Other methods get 405 and are told what is allowed;
// every other path is unknown, whatever it looks like on the file system.
TEST_F(StreamHttpServerTest, RefusesOtherMethodsAndPaths) {
  const auto server = ListeningServer();
  server->SetPicture(Bytes("png"));
  const struct {
    const char* request;
    int status;
  } cases[] = {
      {"POST /picture.png HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", 405},
      {"PUT /latest.json HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405},
      {"DELETE / HTTP/1.1\r\n\r\n", 405},
      {"HEAD /events HTTP/1.1\r\n\r\n", 405},
      {"GET /nothing HTTP/1.1\r\n\r\n", 404},
      {"GET /pictureXpng HTTP/1.1\r\n\r\n", 404},
      {"GET /picture.png/ HTTP/1.1\r\n\r\n", 404},
      {"GET /../Heronwatch.ini HTTP/1.1\r\n\r\n", 404},
      {"GET /%2e%2e/Heronwatch.ini HTTP/1.1\r\n\r\n", 404},
      {"GET /%2E%2E%2FHeronwatch.ini HTTP/1.1\r\n\r\n", 404},
      {"GET //etc/passwd HTTP/1.1\r\n\r\n", 404},
      {"GET /events/../../etc/passwd HTTP/1.1\r\n\r\n", 404},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    // Every request names its host, as HTTP/1.1 asks, so that only the path or method is odd.
    QByteArray request(c.request);
    request.insert(request.indexOf("\r\n") + 2, "Host: 127.0.0.1\r\n");
    RawClient client(PortOf(*server));
    EXPECT_EQ(client.Ask(request), c.status);
    if (c.status == 405) {
      EXPECT_TRUE(client.received.contains("\r\nAllow: GET\r\n"));
    }
    EXPECT_FALSE(client.received.contains("png"));
  }
}

// A client of /events gets the reconnect delay first, then every event sent while it is
// connected, in order, with each line of the data on a data line of its own; idle streams get
// a comment now and then, and they stay open past the deadline of a request. A client that
// leaves is dropped, and later events go to the others.
TEST_F(StreamHttpServerTest, EventsStartWithRetryAndFollowInOrder) {
  StreamServerLimits limits;
  // Quiet for longer than a request may take between the comments.
  limits.pingIntervalMs = 250;
  limits.requestTimeoutMs = 100;
  const auto server = ListeningServer(limits);
  const std::unique_ptr<QNetworkReply> reply(
      manager_.get(QNetworkRequest(QUrl(QString::fromStdString(server->Address() + "events")))));
  QByteArray stream;
  QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] { stream += reply->readAll(); });
  ASSERT_TRUE(WaitUntil([&] { return stream.contains("retry: 2000\n\n"); })) << stream.data();
  EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
  EXPECT_EQ(reply->rawHeader("Content-Type"), "text/event-stream");
  EXPECT_EQ(reply->rawHeader("Cache-Control"), "no-store");

  server->SendEvent("picture", "7");
  server->SendEvent("bad\nname", "never sent");
  server->SendEvent("report", "one\ntwo\r\nthree");
  server->SendEvent("picture", "8");
  ASSERT_TRUE(WaitUntil([&] { return stream.contains("data: 8\n\n"); })) << stream.data();
  ASSERT_TRUE(WaitUntil([&] { return stream.count(": ping\n\n") >= 2; })) << stream.data();
  EXPECT_FALSE(reply->isFinished());
  QByteArray events = stream;
  events.replace(": ping\n\n", "");
  EXPECT_EQ(events,
            "retry: 2000\n\n"
            "event: picture\ndata: 7\n\n"
            "event: report\ndata: one\ndata: two\ndata: three\n\n"
            "event: picture\ndata: 8\n\n");

  RawClient other(PortOf(*server));
  other.socket.write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  ASSERT_TRUE(WaitUntil([&] { return other.received.contains("retry: 2000\n\n"); }));
  // What a client sends on its stream is not answered inside the stream.
  other.socket.write("GET /latest.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  reply->abort();
  ASSERT_TRUE(WaitUntil([&] { return server->Connections() == 1; }));
  server->SendEvent("picture", "9");
  EXPECT_TRUE(WaitUntil([&] { return other.received.contains("event: picture\ndata: 9\n\n"); }));
  EXPECT_EQ(other.received.count("HTTP/1.1"), 1);
}

// Listening fails with a reason that names what was asked for, and the program goes on with
// the server that listens already; the address is the browser's form of what is listened on.
TEST_F(StreamHttpServerTest, ListenSaysWhyItCannotAndWhereItListens) {
  const auto first = ListeningServer();
  const quint16 port = PortOf(*first);
  EXPECT_EQ(first->Address(), "http://127.0.0.1:" + std::to_string(port) + "/");

  const struct {
    const char* address;
    int port;
  } cases[] = {
      {"127.0.0.1", port},   // in use by the first server
      {"192.0.2.1", 0},      // not one of this machine's
      {"127.0.0.300", 0},    // not an address
      {"localhost", 0},      // a name, not an address
      {"127.0.0.1", 65536},  // no such port
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.port));
    const auto second = MakeStreamHttpServer();
    std::string error;
    EXPECT_FALSE(second->Listen(c.address, c.port, &error));
    EXPECT_NE(error.find(c.address), std::string::npos) << error;
    EXPECT_FALSE(second->Listening());
    EXPECT_EQ(second->Address(), "");
  }
  EXPECT_EQ(Get(manager_, first->Address() + "latest.json").status, 503);

  // Closing ends the streams as well, and the port can be listened on again at once.
  const std::unique_ptr<QNetworkReply> events(
      manager_.get(QNetworkRequest(QUrl(QString::fromStdString(first->Address() + "events")))));
  ASSERT_TRUE(WaitUntil([&] { return first->Connections() > 0 && events->bytesAvailable() > 0; }));
  first->Close();
  EXPECT_FALSE(first->Listening());
  EXPECT_EQ(first->Address(), "");
  EXPECT_EQ(first->Connections(), 0);
  EXPECT_TRUE(WaitUntil([&] { return events->isFinished(); }));
  std::string error;
  ASSERT_TRUE(first->Listen("127.0.0.1", port, &error)) << error;

  const auto six = MakeStreamHttpServer();
  if (!six->Listen("::1", 0, &error)) GTEST_SKIP() << "no IPv6 loopback here: " << error;
  EXPECT_EQ(six->Address(), "http://[::1]:" + std::to_string(PortOf(*six)) + "/");
  EXPECT_EQ(Get(manager_, six->Address() + "latest.json").status, 503);
}

// One connection beyond the limit is closed at once while the others stay; a place that
// frees up is taken by the next connection.
TEST_F(StreamHttpServerTest, ClosesConnectionsBeyondTheLimit) {
  StreamServerLimits limits;
  limits.maxConnections = 3;
  const auto server = ListeningServer(limits);
  std::list<RawClient> clients;
  for (int i = 0; i < limits.maxConnections; ++i) {
    clients.emplace_back(PortOf(*server));
  }
  ASSERT_TRUE(WaitUntil([&] { return server->Connections() == 3; }));

  RawClient extra(PortOf(*server));
  EXPECT_TRUE(WaitUntil([&] { return extra.Closed(); }));
  EXPECT_EQ(server->Connections(), 3);
  for (const RawClient& client : clients) {
    EXPECT_FALSE(client.Closed());
  }

  clients.front().socket.disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return server->Connections() == 2; }));
  RawClient next(PortOf(*server));
  EXPECT_EQ(next.Ask("GET /latest.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"), 503);
}

// A client that does not finish its request in time is closed, and so is an event client that
// does not take its stream, while one that keeps up stays.
TEST_F(StreamHttpServerTest, ClosesSlowClients) {
  StreamServerLimits limits;
  limits.requestTimeoutMs = 200;
  const auto server = ListeningServer(limits);

  RawClient unfinished(PortOf(*server));
  unfinished.socket.write("GET /latest.json HTTP/1.1\r\nHost: 127.0.0.1\r\n");
  EXPECT_TRUE(WaitUntil([&] { return unfinished.Closed(); }));
  EXPECT_TRUE(unfinished.received.isEmpty());

  const QByteArray ask = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  RawClient fast(PortOf(*server));
  RawClient slow(PortOf(*server), false);
  slow.socket.setReadBufferSize(1024);  // Takes no more from the system once that much is unread.
  fast.socket.write(ask);
  slow.socket.write(ask);
  ASSERT_TRUE(WaitUntil(
      [&] { return fast.received.contains("retry") && slow.socket.bytesAvailable() > 0; }));
  // The fast client takes each event before the next is sent.
  const std::string data(std::size_t{64} * 1024, 'x');
  for (int sent = 0; sent < 1000 && server->Connections() == 2; ++sent) {
    fast.received.clear();
    server->SendEvent("picture", data);
    ASSERT_TRUE(WaitUntil([&] { return fast.received.endsWith("\n\n"); }));
  }
  EXPECT_EQ(server->Connections(), 1);
  EXPECT_FALSE(fast.Closed());
}

}  // namespace
}  // namespace hw
