#pragma once

#include "platform/clock.h"

namespace hw::test {

// A clock that only moves when the test moves it.
class FakeClock final : public Clock {
 public:
  std::tm LocalNow() override { return now; }
  std::int64_t MonotonicMs() override { return monotonicMs; }
  // Sleeping moves the monotonic clock only.
  void SleepMs(int ms) override {
    monotonicMs += ms;
    sleptMs += ms;
  }

  void Set(int year, int month, int day, int hour, int minute, int second) {
    now = MakeLocalTime(year, month, day, hour, minute, second);
  }
  // Moves the wall clock and the monotonic clock by whole seconds.
  void AdvanceSeconds(int seconds);

  std::tm now = MakeLocalTime(2026, 12, 8, 12, 0, 0);
  std::int64_t monotonicMs = 1000;
  std::int64_t sleptMs = 0;
};

}  // namespace hw::test
