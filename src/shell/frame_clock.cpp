#include "shell/frame_clock.h"

#include <algorithm>
#include <limits>

namespace hw {

void FrameClock::Advance(std::int64_t elapsedPeriods, int frameInterval, int& frameSubCount,
                         int& pendingFrames) {
  std::int64_t periods = elapsedPeriods - consumed_;
  if (periods <= 0) return;
  consumed_ = elapsedPeriods;
  const std::int64_t interval = std::max(frameInterval, 1);
  std::int64_t pending = pendingFrames;
  std::int64_t sub = frameSubCount;
  if (sub >= interval) {
    // The interval shrank below the count: the next period completes a frame.
    ++pending;
    sub = 0;
    --periods;
  }
  sub += periods;
  pending += sub / interval;
  sub %= interval;
  pendingFrames =
      static_cast<int>(std::min<std::int64_t>(pending, std::numeric_limits<int>::max()));
  frameSubCount = static_cast<int>(sub);
}

}  // namespace hw
