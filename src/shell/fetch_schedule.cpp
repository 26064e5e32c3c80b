#include "shell/fetch_schedule.h"

#include <algorithm>

namespace hw {

int FrameIntervalFor(int speedDraw) {
  switch (speedDraw) {
    case 0:
      return 100;
    case 1:
      return 66;
    case 2:
      return 50;
    case 3:
      return 42;
    case 5:
      return 1000;
    default:
      return 33;
  }
}

int TimerPeriodFor(bool capsRead, int minPeriod, int maxPeriod) {
  if (!capsRead) return 1;
  if (std::max(minPeriod, 1) >= maxPeriod) return maxPeriod;
  return minPeriod > 1 ? minPeriod : 1;
}

int RefreshSecond(const std::tm& t, int r) {
  const std::int64_t years = t.tm_year;
  const std::int64_t a = (years * 3217913080LL) >> 8;
  const std::int64_t e = (a + 12345677) * (t.tm_mday + 2) * (t.tm_mon + 3) + r;
  return static_cast<int>(e % 3600);
}

bool ShouldStartFetch(int fetchHoldOff, int fetchPhase, int reload, int demo) {
  return fetchHoldOff == 0 && (fetchPhase % reload == reload - 1 || demo >= 1);
}

int AdvanceFetchPhase(int fetchPhase, int reload, int tStart, int p) {
  const bool wrapped = fetchPhase >= reload - 1 || fetchPhase < 0;
  int phase = wrapped ? 0 : fetchPhase + 1;
  switch (tStart) {
    case 1:
    case 2:
      if (wrapped) phase = p % 2 != 0 ? 1 : 0;
      break;
    case 3:
      phase = (p + 3) % 4;
      break;
    case 4:
      phase = p % 4;
      break;
    case 5:
      phase = (p + 1) % 4;
      break;
    case 6:
      phase = (p + 2) % 4;
      break;
    default:
      break;
  }
  return phase;
}

int HoldOffAfterFailure(FetchStatusValue status, const FetchDetail& detail, int failures,
                        int reload) {
  if (detail.problem == FetchProblem::kHttpStatus && detail.httpStatus == 429 &&
      detail.retryAfterSeconds >= 0) {
    return std::min(detail.retryAfterSeconds, kMaxRetryAfterSeconds);
  }
  const int single = static_cast<int>(status) <= static_cast<int>(FetchUrlFailed) ? 2 : 0;
  if (failures < 2) return single;
  int wait = std::max(reload, 1);
  for (int n = 1; n < failures && wait < kMaxBackoffSeconds; ++n) {
    wait *= 2;
  }
  return std::max(single, std::min(wait, kMaxBackoffSeconds));
}

}  // namespace hw
