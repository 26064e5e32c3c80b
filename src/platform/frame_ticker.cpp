#include "platform/frame_ticker.h"

#include <algorithm>

namespace hw {

bool MonotonicFrameTicker::GetDevCaps(int& minPeriod, int& maxPeriod) {
  // A clock-derived ticker supports any period from 1 ms up.
  minPeriod = 1;
  maxPeriod = 1000000;
  return true;
}

void MonotonicFrameTicker::Start(int periodMs) {
  periodMs_ = std::max(1, periodMs);
  startMs_ = clock_.MonotonicMs();
  running_ = true;
}

void MonotonicFrameTicker::Stop() {
  running_ = false;
}

std::int64_t MonotonicFrameTicker::ElapsedPeriods() {
  if (!running_) return 0;
  const std::int64_t elapsed = clock_.MonotonicMs() - startMs_;
  return elapsed > 0 ? elapsed / periodMs_ : 0;
}

}  // namespace hw
