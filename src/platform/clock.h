#pragma once

#include <cstdint>
#include <ctime>

namespace hw {

// Local wall-clock time and a monotonic millisecond count. The program asks for the local time
// once per main-loop tick; tests substitute a clock they move by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  // Broken-down local time: seconds 0-60, month 0-11, years since 1900, as localtime gives it.
  virtual std::tm LocalNow() = 0;
  virtual std::int64_t MonotonicMs() = 0;
  // Blocks the calling thread for about `ms` milliseconds.
  virtual void SleepMs(int ms) = 0;
};

// The system's clocks.
class SystemClock final : public Clock {
 public:
  std::tm LocalNow() override;
  std::int64_t MonotonicMs() override;
  void SleepMs(int ms) override;
};

// Makes a broken-down time from calendar fields (month 1-12), with weekday and day of year
// filled in, for tests and for the fake clock.
std::tm MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace hw
