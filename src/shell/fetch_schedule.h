#pragma once

#include <cstdint>
#include <ctime>

#include "acquisition/fetch_status.h"

namespace hw {

// Multimedia-timer periods per frame tick for [Config] SpeedDraw.
int FrameIntervalFor(int speedDraw);

// The timer period: the largest supported period when even the smallest is at least that
// large, else the smallest when above 1 ms, else 1 ms.
int TimerPeriodFor(bool capsRead, int minPeriod, int maxPeriod);

// The second within hour 03 (0-3599) of the daily station refresh, derived from the date of
// `t` and a random value r.
int RefreshSecond(const std::tm& t, int r);

// Whether a new second starts the fetch worker.
bool ShouldStartFetch(int fetchHoldOff, int fetchPhase, int reload, int demo);

// The fetch phase after a new second: wraps to 0 at Reload − 1 (or when negative) and is then
// aligned to the previous second `p` by [Flag] TStart; TStart 3-6 align on every second.
int AdvanceFetchPhase(int fetchPhase, int reload, int tStart, int p);

// The longest wait a Retry-After may ask for, and the longest back-off after failures.
inline constexpr int kMaxRetryAfterSeconds = 600;
inline constexpr int kMaxBackoffSeconds = 300;

// The hold-off (seconds without a fetch start) after a failed fetch, the `failures`-th in a row
// (counting this one). The web service allows about 60 requests a minute per address, so:
// a 429 with Retry-After waits as asked (at most kMaxRetryAfterSeconds); otherwise a single
// failure waits as it always did (2 s after a URL failure, else nothing) and each further
// failure in a row doubles the wait from Reload: 2 × Reload, 4 × Reload, … up to
// kMaxBackoffSeconds. A success ends the run of failures.
int HoldOffAfterFailure(FetchStatusValue status, const FetchDetail& detail, int failures,
                        int reload);

// The runtime library's pseudo-random generator as the program uses it: never seeded (so the
// sequence starts at 41), values 0-32767.
class MsvcRandom {
 public:
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace hw
