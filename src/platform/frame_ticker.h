#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace hw {

// The periodic source of frame ticks: it counts how many timer periods have passed since it
// was started. The main loop turns these counts into frame ticks (FrameSubCount/PendingFrames),
// so no tick is lost between a timer thread and the loop, and nothing wakes the process
// between main-loop ticks.
class FrameTicker {
 public:
  virtual ~FrameTicker() = default;
  // The smallest and largest supported periods in ms; false when they cannot be read.
  virtual bool GetDevCaps(int& minPeriod, int& maxPeriod) = 0;
  virtual void Start(int periodMs) = 0;
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
  // Timer periods elapsed since Start (0 when stopped).
  virtual std::int64_t ElapsedPeriods() = 0;
};

// Derives the periods from the monotonic clock.
class MonotonicFrameTicker final : public FrameTicker {
 public:
  explicit MonotonicFrameTicker(Clock& clock) : clock_(clock) {}
  bool GetDevCaps(int& minPeriod, int& maxPeriod) override;
  void Start(int periodMs) override;
  void Stop() override;
  bool Running() const override { return running_; }
  std::int64_t ElapsedPeriods() override;

 private:
  Clock& clock_;
  bool running_ = false;
  int periodMs_ = 1;
  std::int64_t startMs_ = 0;
};

}  // namespace hw
