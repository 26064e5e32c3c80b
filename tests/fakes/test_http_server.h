#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hw::test {

// A small HTTP/1.1 server on 127.0.0.1 and a free port, answering every request the way the
// test asked, one connection at a time. It remembers the request lines and user agents.
class TestHttpServer {
 public:
  enum class Mode {
    kBody,                // 200 with `body`
    kErrorPage,           // 503 with an HTML page
    kEmpty,               // 200 with an empty body
    kTruncated,           // announces more than it sends, then closes
    kStallBeforeAnswer,   // reads the request, then says nothing for `stall`
    kStallMidBody,        // sends half of `body`, then says nothing for `stall`
    kCloseWithoutAnswer,  // closes the connection right after the request
    kStatus,              // `status` with `extraHeaders` and `body`
    kTrickle,             // 200 announcing `body`, sent 2 bytes every 0.9 s
    kRedirectLoop,        // 302 back to the same path, every time
    kRedirectEveryOther   // 200 with `body`, but every other request is first sent on by a 302
  };

  TestHttpServer();
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  void Serve(Mode mode, std::string body = {});
  void SetStall(std::chrono::milliseconds stall) { stallMs_ = static_cast<int>(stall.count()); }
  // The status line's code and extra header lines ("Name: value\r\n" each) of kStatus.
  void SetStatus(int status, std::string extraHeaders = {});
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
  int port() const { return port_; }
  std::vector<std::string> RequestLines() const;
  std::vector<std::string> UserAgents() const;

  // A port on which nothing listens (connections are refused).
  static int UnusedPort();
  // Tries to connect to the port on 127.0.0.1 until it succeeds (true) or `deadline` passes.
  static bool WaitUntilListening(int port, std::chrono::milliseconds deadline);

 private:
  void AcceptLoop();
  void Answer(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> stallMs_{6000};
  mutable std::mutex mutex_;
  Mode mode_ = Mode::kBody;
  std::string body_;
  int status_ = 200;
  std::string extraHeaders_;
  std::vector<std::string> requestLines_;
  std::vector<std::string> userAgents_;
  int redirectTurn_ = 0;
  std::thread thread_;
};

}  // namespace hw::test
