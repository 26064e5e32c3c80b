#include "fakes/test_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace hw::test {
namespace {

void SendAll(int socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

std::string Header(int status, const char* reason, std::size_t length,
                   const std::string& extra = {}) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason +
         "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(length) +
         "\r\n" + extra + "Connection: close\r\n\r\n";
}

int Listen(int port, int* boundPort) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *boundPort = ntohs(address.sin_port);
  return fd;
}

}  // namespace

TestHttpServer::TestHttpServer() {
  listener_ = Listen(0, &port_);
  ::listen(listener_, 16);
  thread_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
  stopping_ = true;
  ::shutdown(listener_, SHUT_RDWR);
  ::close(listener_);
  thread_.join();
}

int TestHttpServer::UnusedPort() {
  int port = 0;
  const int fd = Listen(0, &port);
  ::close(fd);  // bound but never listening: connections to it are refused
  return port;
}

bool TestHttpServer::WaitUntilListening(int port, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (true) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (connected) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void TestHttpServer::SetStatus(int status, std::string extraHeaders) {
  const std::lock_guard lock(mutex_);
  status_ = status;
  extraHeaders_ = std::move(extraHeaders);
}

void TestHttpServer::Serve(Mode mode, std::string body) {
  const std::lock_guard lock(mutex_);
  mode_ = mode;
  body_ = std::move(body);
}

std::vector<std::string> TestHttpServer::RequestLines() const {
  const std::lock_guard lock(mutex_);
  return requestLines_;
}

std::vector<std::string> TestHttpServer::UserAgents() const {
  const std::lock_guard lock(mutex_);
  return userAgents_;
}

void TestHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 100) <= 0) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    Answer(client);
    ::close(client);
  }
}

void TestHttpServer::Answer(int client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd readable{client, POLLIN, 0};
    if (::poll(&readable, 1, 2000) <= 0) return;
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  Mode mode;
  std::string body;
  int status;
  std::string extraHeaders;
  bool redirectThisOne = false;
  {
    const std::lock_guard lock(mutex_);
    requestLines_.push_back(request.substr(0, request.find("\r\n")));
    const std::size_t agent = request.find("User-Agent: ");
    userAgents_.push_back(
        agent == std::string::npos
            ? std::string()
            : request.substr(agent + 12, request.find("\r\n", agent) - agent - 12));
    mode = mode_;
    body = body_;
    status = status_;
    extraHeaders = extraHeaders_;
    if (mode == Mode::kRedirectEveryOther && request.find("hop=1") == std::string::npos) {
      redirectThisOne = (redirectTurn_++ % 2) == 1;
    }
  }
  // Behaves as a slow or silent server for `ms`, unless the server is being stopped.
  const auto pause = [this](int ms) {
    for (int waited = 0; waited < ms && !stopping_; waited += 50)
      ::usleep(50000);
  };
  const auto stall = [&] { pause(stallMs_); };
  switch (mode) {
    case Mode::kBody:
      SendAll(client, Header(200, "OK", body.size()) + body);
      break;
    case Mode::kErrorPage: {
      const std::string page = "<html><body>503 Service Unavailable</body></html>";
      SendAll(client, Header(503, "Service Unavailable", page.size()) + page);
      break;
    }
    case Mode::kEmpty:
      SendAll(client, Header(200, "OK", 0));
      break;
    case Mode::kTruncated:
      SendAll(client, Header(200, "OK", body.size() * 2) + body);
      break;
    case Mode::kStallBeforeAnswer:
      stall();
      break;
    case Mode::kStallMidBody:
      SendAll(client, Header(200, "OK", body.size()) + body.substr(0, body.size() / 2));
      stall();
      break;
    case Mode::kCloseWithoutAnswer:
      break;
    case Mode::kStatus:
      SendAll(client, Header(status, "Status", body.size(), extraHeaders) + body);
      break;
    case Mode::kTrickle: {
      SendAll(client, Header(200, "OK", body.size()));
      for (std::size_t at = 0; at < body.size() && !stopping_; at += 2) {
        if (::send(client, body.data() + at, std::min<std::size_t>(2, body.size() - at),
                   MSG_NOSIGNAL) <= 0) {
          break;  // the client gave up
        }
        pause(900);
      }
      break;
    }
    case Mode::kRedirectLoop:
    case Mode::kRedirectEveryOther: {
      const std::string line = request.substr(0, request.find("\r\n"));
      const std::size_t from = line.find(' ') + 1;
      const std::string path = line.substr(from, line.rfind(' ') - from);
      if (mode == Mode::kRedirectLoop) {
        SendAll(client, Header(302, "Found", 0, "Location: " + path + "\r\n"));
      } else if (redirectThisOne) {
        SendAll(client, Header(302, "Found", 0, "Location: " + path + "&hop=1\r\n"));
      } else {
        SendAll(client, Header(200, "OK", body.size()) + body);
      }
      break;
    }
  }
}

}  // namespace hw::test
