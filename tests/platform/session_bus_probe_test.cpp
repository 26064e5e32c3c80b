#include "platform/session_bus_probe.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

constexpr int kTimeoutMs = 200;

// A listening socket at `path` in a thread that plays a bus: `script` gets each accepted
// connection.
class FakeBus {
 public:
  template <typename Script>
  FakeBus(const std::string& path, Script script) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(listener_, 4), 0);
    thread_ = std::thread([this, script] {
      const int peer = ::accept(listener_, nullptr, nullptr);
      if (peer < 0) return;
      script(peer);
      // Holds the connection open, answering nothing more, until the test ends.
      while (!done_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      ::close(peer);
    });
  }
  ~FakeBus() {
    done_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }

 private:
  int listener_ = -1;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Reads until `text` has come.
void ReadUntil(int fd, const std::string& text) {
  std::string seen;
  char byte = 0;
  while (seen.find(text) == std::string::npos && ::read(fd, &byte, 1) == 1)
    seen += byte;
}

void Send(int fd, const std::string& bytes) {
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// A method return (type 2) or an error (type 3) to `serial`, with no body.
std::string Reply(int type, char serial) {
  return std::string("l") + static_cast<char>(type) + std::string("\0\1", 2) +
         std::string("\0\0\0\0", 4) + std::string("\x07\0\0\0", 4) + std::string("\x08\0\0\0", 4) +
         std::string("\x05\x01u\0", 4) + serial + std::string("\0\0\0", 3);
}

TEST(SessionBusProbe, WhatCannotBeAskedIsLeftToTheLibrary) {
  const test::TempFolder folder;
  for (const std::string& address :
       {std::string(), std::string("tcp:host=127.0.0.1,port=9"), std::string("unix:tmpdir=/tmp"),
        "unix:path=" + (folder.path() / "nobody-listens").string()}) {
    SCOPED_TRACE(address);
    const SessionBusProbe probe = ProbeSessionBus(address, kTimeoutMs, {});
    EXPECT_EQ(probe.bus, BusAnswer::kAbsent);
    EXPECT_EQ(probe.trayHost, BusAnswer::kAbsent);
  }
}

// The questions are the library's: a bus or a tray host that takes one and never answers is
// found out within the time-out, one that answers is not.
TEST(SessionBusProbe, ABusOrATrayHostThatNeverAnswersIsFoundOut) {
  struct Case {
    const char* name;
    void (*script)(int fd);
    BusAnswer bus;
    BusAnswer trayHost;
  };
  const Case cases[] = {
      {"accepts and never answers", [](int) {}, BusAnswer::kSilent, BusAnswer::kAbsent},
      {"signs in and never says hello",
       [](int fd) {
         ReadUntil(fd, "\r\n");
         Send(fd, "OK 0123456789abcdef0123456789abcdef\r\n");
       },
       BusAnswer::kSilent, BusAnswer::kAbsent},
      {"a tray host that never answers",
       [](int fd) {
         ReadUntil(fd, "\r\n");
         Send(fd, "OK 0123456789abcdef0123456789abcdef\r\n");
         ReadUntil(fd, "Hello");
         Send(fd, Reply(2, 1));
       },
       BusAnswer::kAnswers, BusAnswer::kSilent},
      {"no tray host",
       [](int fd) {
         ReadUntil(fd, "\r\n");
         Send(fd, "OK 0123456789abcdef0123456789abcdef\r\n");
         ReadUntil(fd, "IsStatusNotifierHostRegistered");
         Send(fd, Reply(2, 1) + Reply(3, 2));
       },
       BusAnswer::kAnswers, BusAnswer::kAbsent},
      {"a tray host that answers",
       [](int fd) {
         ReadUntil(fd, "\r\n");
         Send(fd, "OK 0123456789abcdef0123456789abcdef\r\n");
         ReadUntil(fd, "IsStatusNotifierHostRegistered");
         Send(fd, Reply(2, 1) + Reply(2, 2));
       },
       BusAnswer::kAnswers, BusAnswer::kAnswers},
      {"refuses the sign-in",
       [](int fd) {
         ReadUntil(fd, "\r\n");
         Send(fd, "REJECTED EXTERNAL\r\n");
       },
       BusAnswer::kAnswers, BusAnswer::kAbsent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const test::TempFolder folder;
    const std::string path = (folder.path() / "bus").string();
    const FakeBus bus(path, c.script);
    const SessionBusProbe probe =
        ProbeSessionBus("unix:guid=0;unix:path=" + path + ",guid=1", kTimeoutMs, {});
    EXPECT_EQ(probe.bus, c.bus);
    EXPECT_EQ(probe.trayHost, c.trayHost);
  }
}

TEST(SessionBusProbe, AStopRequestEndsTheWaitAtOnce) {
  const test::TempFolder folder;
  const std::string path = (folder.path() / "bus").string();
  const FakeBus bus(path, [](int) {});
  int asked = 0;
  const SessionBusProbe probe =
      ProbeSessionBus("unix:path=" + path, 60 * 60 * 1000, [&] { return ++asked > 3; });
  EXPECT_EQ(probe.bus, BusAnswer::kSilent);
}

// The real message bus accepts the questions as written.
TEST(SessionBusProbe, ARealBusAnswers) {
  if (::access("/usr/bin/dbus-daemon", X_OK) != 0) GTEST_SKIP() << "no dbus-daemon";
  const test::TempFolder folder;
  const std::string path = (folder.path() / "bus").string();
  const std::string address = "unix:path=" + path;
  // The daemon prints its address once it listens: the socket file alone appears before that.
  int ready[2] = {-1, -1};
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t daemon = ::fork();
  if (daemon == 0) {
    ::close(ready[0]);
    ::execl("/usr/bin/dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
            ("--address=" + address).c_str(),
            ("--print-address=" + std::to_string(ready[1])).c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ready[1]);
  char printed[256];
  const ssize_t got = ::read(ready[0], printed, sizeof printed);
  ::close(ready[0]);
  ASSERT_GT(got, 0) << "dbus-daemon did not start";
  const SessionBusProbe probe = ProbeSessionBus(address, 5000, {});
  ::kill(daemon, SIGTERM);
  ::waitpid(daemon, nullptr, 0);
  EXPECT_EQ(probe.bus, BusAnswer::kAnswers);
  EXPECT_EQ(probe.trayHost, BusAnswer::kAbsent);
}

}  // namespace
}  // namespace hw
