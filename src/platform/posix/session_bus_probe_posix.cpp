#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/session_bus_probe.h"

namespace hw {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait in poll() lasts before `stop` is asked again.
constexpr int kSliceMs = 50;

// The value of `key` in one address ("unix:path=/run/user/1000/bus,guid=…"), with its %xx
// escapes undone.
std::optional<std::string> AddressValue(std::string_view address, std::string_view key) {
  const std::size_t colon = address.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view rest = address.substr(colon + 1);
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view pair = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (pair.substr(0, key.size()) != key || pair.size() <= key.size() || pair[key.size()] != '=') {
      continue;
    }
    const std::string_view escaped = pair.substr(key.size() + 1);
    std::string value;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
      if (escaped[i] == '%' && i + 2 < escaped.size()) {
        value += static_cast<char>(
            std::strtol(std::string(escaped.substr(i + 1, 2)).c_str(), nullptr, 16));
        i += 2;
      } else {
        value += escaped[i];
      }
    }
    return value;
  }
  return std::nullopt;
}

// A socket connected to the first address of the list that takes a connection, or -1.
int Connect(const std::string& addresses) {
  std::string_view rest = addresses;
  while (!rest.empty()) {
    const std::size_t semicolon = rest.find(';');
    const std::string_view address = rest.substr(0, semicolon);
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    if (address.substr(0, 5) != "unix:") continue;
    sockaddr_un target{};
    target.sun_family = AF_UNIX;
    socklen_t length = 0;
    if (const auto path = AddressValue(address, "path")) {
      if (path->empty() || path->size() >= sizeof target.sun_path) continue;
      std::memcpy(target.sun_path, path->data(), path->size());
      length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path->size() + 1);
    } else if (const auto name = AddressValue(address, "abstract")) {
      if (name->size() + 1 >= sizeof target.sun_path) continue;
      std::memcpy(target.sun_path + 1, name->data(), name->size());
      length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name->size());
    } else {
      continue;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    // A local connection is made at once, even to a process that never reads from it.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&target), length) == 0) return fd;
    ::close(fd);
  }
  return -1;
}

// A method call in the D-Bus wire format (little-endian, version 1).
class MessageWriter {
 public:
  MessageWriter(std::uint32_t serial, std::string_view path, std::string_view interface,
                std::string_view member, std::string_view destination,
                const std::vector<std::string_view>& stringArguments) {
    // The body: strings only.
    std::vector<std::uint8_t> body;
    for (const std::string_view argument : stringArguments) {
      Align(body, 4);
      PutString(body, argument);
    }
    constexpr std::uint8_t kNoAutoStart = 0x2;  // never start a service to answer a probe
    bytes_ = {'l', 1, kNoAutoStart, 1};
    PutUint32(bytes_, static_cast<std::uint32_t>(body.size()));
    PutUint32(bytes_, serial);
    const std::size_t fieldsLength = bytes_.size();
    PutUint32(bytes_, 0);
    const std::size_t fieldsStart = bytes_.size();
    Field(1, 'o', path);
    Field(2, 's', interface);
    Field(3, 's', member);
    Field(6, 's', destination);
    if (!stringArguments.empty()) {
      Align(bytes_, 8);
      bytes_.push_back(8);  // SIGNATURE
      bytes_.insert(bytes_.end(), {1, 'g', 0});
      bytes_.push_back(static_cast<std::uint8_t>(stringArguments.size()));
      bytes_.insert(bytes_.end(), stringArguments.size(), 's');
      bytes_.push_back(0);
    }
    const auto length = static_cast<std::uint32_t>(bytes_.size() - fieldsStart);
    std::memcpy(bytes_.data() + fieldsLength, &length, 4);
    Align(bytes_, 8);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  static void Align(std::vector<std::uint8_t>& out, std::size_t to) {
    while (out.size() % to != 0) {
      out.push_back(0);
    }
  }
  static void PutUint32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  static void PutString(std::vector<std::uint8_t>& out, std::string_view text) {
    PutUint32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
  }
  void Field(std::uint8_t code, char type, std::string_view value) {
    Align(bytes_, 8);
    bytes_.push_back(code);
    bytes_.insert(bytes_.end(), {1, static_cast<std::uint8_t>(type), 0});
    PutString(bytes_, value);
  }

  std::vector<std::uint8_t> bytes_;
};

// What one message read from the bus is: a reply (method return or error) to a serial, or
// anything else.
struct Received {
  bool reply = false;
  bool error = false;
  std::uint32_t replySerial = 0;
};

std::uint32_t Uint32At(const std::vector<std::uint8_t>& bytes, std::size_t at, bool little) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t byte = bytes[at + static_cast<std::size_t>(little ? i : 3 - i)];
    value |= byte << (8 * i);
  }
  return value;
}

// The reply serial of a whole message, when it is a reply; the header fields are walked by
// their signatures, which are single types for every field the bus sends.
Received ReadMessage(const std::vector<std::uint8_t>& message, std::size_t fieldsEnd, bool little) {
  Received received;
  const std::uint8_t type = message[1];
  received.reply = type == 2 || type == 3;
  received.error = type == 3;
  std::size_t at = 16;
  while (at < fieldsEnd) {
    at = (at + 7) / 8 * 8;
    if (at + 4 > fieldsEnd) break;
    const std::uint8_t code = message[at];
    const std::uint8_t signatureLength = message[at + 1];
    if (signatureLength != 1) break;
    const char kind = static_cast<char>(message[at + 2]);
    at += 4;
    if (kind == 'u' || kind == 'i' || kind == 'h') {
      at = (at + 3) / 4 * 4;
      if (at + 4 > fieldsEnd) break;
      if (code == 5) received.replySerial = Uint32At(message, at, little);
      at += 4;
    } else if (kind == 's' || kind == 'o') {
      at = (at + 3) / 4 * 4;
      if (at + 4 > fieldsEnd) break;
      at += 4 + Uint32At(message, at, little) + 1;
    } else if (kind == 'g') {
      at += 1 + message[at] + 1u;
    } else {
      break;
    }
  }
  return received;
}

// Reads from the bus socket until a deadline, keeping what is not used yet.
class BusReader {
 public:
  BusReader(int fd, const std::function<bool()>& stop) : fd_(fd), stop_(stop) {}

  // Bytes until the deadline, or false when the time is up, the peer went away or `stop`
  // asked to end.
  bool Fill(Clock::time_point deadline) {
    while (true) {
      if (stop_ && stop_()) {
        stopped_ = true;
        return false;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd wait{fd_, POLLIN, 0};
      const int ready = ::poll(&wait, 1, static_cast<int>(std::min<long long>(left, kSliceMs)));
      if (ready <= 0) continue;
      std::uint8_t chunk[4096];
      const ssize_t got = ::read(fd_, chunk, sizeof chunk);
      if (got <= 0) {
        closed_ = true;
        return false;
      }
      buffer_.insert(buffer_.end(), chunk, chunk + got);
      return true;
    }
  }

  // The next line of the authentication exchange, without its CR LF.
  std::optional<std::string> Line(Clock::time_point deadline) {
    while (true) {
      for (std::size_t i = 0; i + 1 < buffer_.size(); ++i) {
        if (buffer_[i] == '\r' && buffer_[i + 1] == '\n') {
          std::string line(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(i));
          buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(i + 2));
          return line;
        }
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }

  // The next whole message.
  std::optional<Received> Message(Clock::time_point deadline) {
    while (true) {
      if (buffer_.size() >= 16) {
        const bool little = buffer_[0] == 'l';
        const std::size_t fieldsLength = Uint32At(buffer_, 12, little);
        const std::size_t bodyLength = Uint32At(buffer_, 4, little);
        const std::size_t fieldsEnd = 16 + fieldsLength;
        const std::size_t total = (fieldsEnd + 7) / 8 * 8 + bodyLength;
        if (buffer_.size() >= total) {
          const std::vector<std::uint8_t> message(
              buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
          buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
          return ReadMessage(message, fieldsEnd, little);
        }
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }

  // Waits for the reply to `serial`, skipping every other message.
  std::optional<Received> Reply(std::uint32_t serial, Clock::time_point deadline) {
    while (const auto message = Message(deadline)) {
      if (message->reply && message->replySerial == serial) return message;
    }
    return std::nullopt;
  }

  bool closed() const { return closed_; }
  bool stopped() const { return stopped_; }

 private:
  int fd_;
  const std::function<bool()>& stop_;
  std::vector<std::uint8_t> buffer_;
  bool closed_ = false;
  bool stopped_ = false;
};

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (written < 0) {
      if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
      pollfd wait{fd, POLLOUT, 0};
      if (::poll(&wait, 1, kSliceMs) < 0) return false;
      continue;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::string SessionBusAddress() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
      address != nullptr && *address != '\0') {
    return address;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return {};
  const std::string socketPath = std::string(runtime) + "/bus";
  struct stat info {};
  if (::stat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return {};
  return "unix:path=" + socketPath;
}

SessionBusProbe ProbeSessionBus(const std::string& address, int timeoutMs,
                                const std::function<bool()>& stop) {
  SessionBusProbe probe;
  const int fd = Connect(address);
  if (fd < 0) return probe;
  BusReader reader(fd, stop);
  const auto silentOrGone = [&reader] {
    return reader.closed() ? BusAnswer::kAbsent : BusAnswer::kSilent;
  };

  // The authentication as the library does it: the user's id, in hexadecimal digits of its
  // decimal text.
  std::string auth = std::string(1, '\0') + "AUTH EXTERNAL ";
  for (const char digit : std::to_string(::getuid())) {
    static constexpr char kHex[] = "0123456789abcdef";
    auth += kHex[static_cast<unsigned char>(digit) >> 4];
    auth += kHex[static_cast<unsigned char>(digit) & 0xF];
  }
  auth += "\r\n";
  const auto deadline = [timeoutMs] { return Clock::now() + std::chrono::milliseconds(timeoutMs); };
  if (!WriteAll(fd, std::vector<std::uint8_t>(auth.begin(), auth.end()))) {
    ::close(fd);
    return probe;
  }
  const std::optional<std::string> answer = reader.Line(deadline());
  if (!answer) {
    probe.bus = reader.stopped() ? BusAnswer::kSilent : silentOrGone();
    ::close(fd);
    return probe;
  }
  // A bus that refuses this way of signing in answered: the library tries another at once.
  probe.bus = BusAnswer::kAnswers;
  if (answer->rfind("OK ", 0) != 0) {
    ::close(fd);
    return probe;
  }

  std::vector<std::uint8_t> questions{'B', 'E', 'G', 'I', 'N', '\r', '\n'};
  const MessageWriter hello(1, "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello",
                            "org.freedesktop.DBus", {});
  const MessageWriter trayHost(2, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties",
                               "Get", "org.kde.StatusNotifierWatcher",
                               {"org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"});
  questions.insert(questions.end(), hello.bytes().begin(), hello.bytes().end());
  questions.insert(questions.end(), trayHost.bytes().begin(), trayHost.bytes().end());
  if (!WriteAll(fd, questions)) {
    ::close(fd);
    return probe;
  }
  if (!reader.Reply(1, deadline())) {
    probe.bus = reader.stopped() ? BusAnswer::kSilent : silentOrGone();
    ::close(fd);
    return probe;
  }
  // The bus answers with an error for a tray host that is not there; one that is there
  // answers itself.
  if (const auto reply = reader.Reply(2, deadline())) {
    probe.trayHost = reply->error ? BusAnswer::kAbsent : BusAnswer::kAnswers;
  } else {
    probe.trayHost = reader.stopped() ? BusAnswer::kSilent : silentOrGone();
  }
  ::close(fd);
  return probe;
}

}  // namespace hw
