#pragma once

#include "platform/frame_ticker.h"

namespace hw::test {

// A frame ticker whose elapsed periods the test sets.
class FakeFrameTicker final : public FrameTicker {
 public:
  bool GetDevCaps(int& minPeriod, int& maxPeriod) override {
    minPeriod = capsMin;
    maxPeriod = capsMax;
    return capsRead;
  }
  void Start(int periodMs) override {
    startedPeriod = periodMs;
    running = true;
  }
  void Stop() override { running = false; }
  bool Running() const override { return running; }
  std::int64_t ElapsedPeriods() override { return elapsed; }

  bool capsRead = true;
  int capsMin = 1;
  int capsMax = 1000000;
  int startedPeriod = 0;
  bool running = false;
  std::int64_t elapsed = 0;
};

}  // namespace hw::test
