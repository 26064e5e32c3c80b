#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace hw {

// The report service allows about 60 requests a minute from one client to one address. The
// budget counts every request the program makes to an address, redirects included, and says
// how many more it may make now so that no minute (a sliding window of 60 s) holds more than
// kRequestsPerMinute. Polls, push announcements and commands all start fetches through it.
class RequestBudget {
 public:
  static constexpr int kRequestsPerMinute = 60;
  static constexpr std::int64_t kWindowMs = 60000;

  // Requests `address` may still make at `nowMs` (a monotonic time).
  int Room(const std::string& address, std::int64_t nowMs);
  // Counts `count` requests to `address` made by `nowMs`.
  void Spend(const std::string& address, std::int64_t nowMs, int count = 1);
  // When the next request to `address` is allowed, at or after `nowMs`.
  std::int64_t NextRoomMs(const std::string& address, std::int64_t nowMs);

 private:
  // Forgets the requests older than the window.
  std::deque<std::int64_t>& Recent(const std::string& address, std::int64_t nowMs);

  std::map<std::string, std::deque<std::int64_t>> spent_;
};

// The address a URL's requests count against: its scheme, host and port.
std::string RequestAddress(std::string_view url);

}  // namespace hw
