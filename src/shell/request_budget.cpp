#include "shell/request_budget.h"

#include <algorithm>

namespace hw {

std::deque<std::int64_t>& RequestBudget::Recent(const std::string& address, std::int64_t nowMs) {
  // Only the address in use is looked at; the others stay as small as they were.
  std::deque<std::int64_t>& times = spent_[address];
  while (!times.empty() && times.front() <= nowMs - kWindowMs) {
    times.pop_front();
  }
  return times;
}

int RequestBudget::Room(const std::string& address, std::int64_t nowMs) {
  return std::max(0, kRequestsPerMinute - static_cast<int>(Recent(address, nowMs).size()));
}

void RequestBudget::Spend(const std::string& address, std::int64_t nowMs, int count) {
  std::deque<std::int64_t>& times = Recent(address, nowMs);
  for (int i = 0; i < count; ++i) {
    times.push_back(nowMs);
  }
}

std::int64_t RequestBudget::NextRoomMs(const std::string& address, std::int64_t nowMs) {
  const std::deque<std::int64_t>& times = Recent(address, nowMs);
  if (static_cast<int>(times.size()) < kRequestsPerMinute) return nowMs;
  // The request that has to leave the window first.
  return times[times.size() - kRequestsPerMinute] + kWindowMs;
}

std::string RequestAddress(std::string_view url) {
  const std::size_t scheme = url.find("://");
  const std::size_t host = scheme == std::string_view::npos ? 0 : scheme + 3;
  return std::string(url.substr(0, url.find_first_of("/?#", host)));
}

}  // namespace hw
