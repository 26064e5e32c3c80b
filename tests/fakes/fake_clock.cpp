#include "fakes/fake_clock.h"

namespace hw::test {

void FakeClock::AdvanceSeconds(int seconds) {
  // The fake keeps local time as if it were UTC, so no daylight-saving jump interferes.
  std::tm t = now;
  const std::time_t moved = timegm(&t) + seconds;
  gmtime_r(&moved, &now);
  now.tm_isdst = 0;
  monotonicMs += seconds * 1000LL;
}

}  // namespace hw::test
