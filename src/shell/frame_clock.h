#pragma once

#include <cstdint>

namespace hw {

// Turns the timer periods counted by the frame ticker into the loop's frame counters exactly
// as a callback per period would: FrameSubCount += 1 per period, and when it reaches
// FrameInterval one more pending frame and FrameSubCount back to 0. Runs on the window's
// thread only, so no frame tick can be lost between threads.
class FrameClock {
 public:
  // Counts from `elapsedPeriods` on (the ticker's count when it was started).
  void Restart(std::int64_t elapsedPeriods) { consumed_ = elapsedPeriods; }
  void Advance(std::int64_t elapsedPeriods, int frameInterval, int& frameSubCount,
               int& pendingFrames);

 private:
  std::int64_t consumed_ = 0;
};

}  // namespace hw
