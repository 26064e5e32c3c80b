#include "shell/fetch_schedule.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "shell/frame_clock.h"

namespace hw {
namespace {

TEST(FetchSchedule, RefreshSecondExamples) {
  EXPECT_EQ(RefreshSecond(MakeLocalTime(2026, 12, 8, 1, 0, 0), 0), 740);
  EXPECT_EQ(RefreshSecond(MakeLocalTime(2026, 12, 8, 1, 0, 0), 41), 781);
  EXPECT_EQ(RefreshSecond(MakeLocalTime(2026, 12, 9, 1, 0, 0), 0), 3334);
  for (int day = 1; day <= 31; ++day) {
    const int second = RefreshSecond(MakeLocalTime(2031, 1, day, 0, 0, 0), 32767);
    EXPECT_GE(second, 0);
    EXPECT_LT(second, 3600);
  }
}

TEST(FetchSchedule, UnseededRandomStartsAt41) {
  MsvcRandom random;
  EXPECT_EQ(random.Next(), 41);
  EXPECT_EQ(random.Next(), 18467);
}

TEST(FetchSchedule, FrameIntervalAndTimerPeriod) {
  const int expected[] = {100, 66, 50, 42, 33, 1000, 33, 33, 33, 33};
  for (int speed = 0; speed < 10; ++speed)
    EXPECT_EQ(FrameIntervalFor(speed), expected[speed]);
  EXPECT_EQ(TimerPeriodFor(false, 5, 10), 1);
  EXPECT_EQ(TimerPeriodFor(true, 1, 1000000), 1);
  EXPECT_EQ(TimerPeriodFor(true, 4, 1000000), 4);
  EXPECT_EQ(TimerPeriodFor(true, 0, 1), 1);
  EXPECT_EQ(TimerPeriodFor(true, 16, 8), 8);
}

TEST(FetchSchedule, HoldOffAfterFailuresBacksOffAndHonoursRetryAfter) {
  struct Case {
    FetchStatusValue status;
    int httpStatus;
    int retryAfter;
    int failures;
    int reload;
    int expected;
  };
  const Case cases[] = {
      // One failure waits as it always did.
      {FetchUrlFailed, 0, -1, 1, 2, 2},
      {FetchBadBody, 503, -1, 1, 2, 0},
      {FetchOpenFailed, 0, -1, 1, 2, 0},
      // Failures in a row double from Reload, up to five minutes.
      {FetchUrlFailed, 0, -1, 2, 2, 4},
      {FetchBadBody, 503, -1, 3, 2, 8},
      {FetchUrlFailed, 0, -1, 2, 1, 2},
      {FetchBadBody, 500, -1, 9, 2, 300},
      {FetchUrlFailed, 0, -1, 100000, 180, 300},
      // A 429 waits as its Retry-After asks, at most ten minutes; without one it backs off.
      {FetchBadBody, 429, 60, 1, 2, 60},
      {FetchBadBody, 429, 100000, 1, 2, 600},
      {FetchBadBody, 429, -1, 1, 2, 0},
      {FetchBadBody, 429, -1, 3, 2, 8},
      // Retry-After means nothing on another status.
      {FetchBadBody, 503, 60, 1, 2, 0},
  };
  for (const Case& c : cases) {
    FetchDetail detail;
    detail.problem = c.httpStatus != 0 ? FetchProblem::kHttpStatus : FetchProblem::kUnreachable;
    detail.httpStatus = c.httpStatus;
    detail.retryAfterSeconds = c.retryAfter;
    EXPECT_EQ(HoldOffAfterFailure(c.status, detail, c.failures, c.reload), c.expected)
        << static_cast<int>(c.status) << " HTTP " << c.httpStatus << " Retry-After " << c.retryAfter
        << " failure " << c.failures << " Reload " << c.reload;
  }
}

TEST(FrameClock, MatchesOneCallbackPerPeriod) {
  // Compare the closed form with a literal callback loop over irregular polls.
  FrameClock clock;
  int sub = 0;
  int pending = 0;
  int refSub = 0;
  int refPending = 0;
  std::int64_t elapsed = 0;
  const int steps[] = {1, 7, 33, 0, 65, 2, 99, 1000, 3};
  for (int step : steps) {
    elapsed += step;
    clock.Advance(elapsed, 33, sub, pending);
    for (int i = 0; i < step; ++i) {
      if (++refSub >= 33) {
        ++refPending;
        refSub = 0;
      }
    }
    EXPECT_EQ(sub, refSub);
    EXPECT_EQ(pending, refPending);
  }
  // A count left above a shrunken interval completes a frame on the next period.
  sub = 40;
  pending = 0;
  clock.Advance(elapsed + 1, 33, sub, pending);
  EXPECT_EQ(pending, 1);
  EXPECT_EQ(sub, 0);
}

}  // namespace
}  // namespace hw
