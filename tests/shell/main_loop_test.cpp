#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::ShellHarness;

TEST(MainLoopStartup, StagesRunInOrderAndTheWindowAppearsAtStage40) {
  ShellHarness h;
  h.InitWithTheme();
  ASSERT_EQ(h.context->DialogInitialised, 1);
  EXPECT_EQ(h.window.timerPeriod, 10);
  ASSERT_EQ(h.window.alphas, std::vector<int>{0});

  h.Tick();  // stage 0
  const std::string equals(97, '=');
  EXPECT_EQ(h.Log(), "2026/12/08 12:00:00 : " + equals +
                         "\r\n2026/12/08 12:00:00 : Event Log       \xEF\xBC\x9A Log Start\r\n"
                         "2026/12/08 12:00:00 : Event Log       \xEF\xBC\x9A Initial Program "
                         "Start\r\n2026/12/08 12:00:00 : " +
                         equals +
                         "\r\n2026/12/08 12:00:00 : Event Log       \xEF\xBC\x9A "
                         "前回の受信データなし\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(h.folder.path() / "Storage"));
  const AppSettings& s = h.context->settings;
  EXPECT_EQ(h.window.placement.normal, (Rect{s.Left, s.Top, s.Right, s.Bottom}));
  EXPECT_EQ(h.context->loop.FrameExtraWidth, h.window.frameWidth);
  EXPECT_EQ(h.context->loop.FrameExtraHeight, h.window.frameHeight);
  EXPECT_EQ(h.frameTicker.startedPeriod, 1);
  EXPECT_EQ(h.recording.fetch.starts, 1);
  EXPECT_TRUE(h.window.posCalls.empty());

  h.Tick();  // stage 1: always on top
  ASSERT_EQ(h.window.posCalls.size(), 1u);
  EXPECT_EQ(h.window.posCalls[0].insertAfter, InsertAfter::Topmost);
  EXPECT_EQ(h.window.posCalls[0].flags, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);

  h.Tick();  // stage 2: the refresh second with the first random value
  EXPECT_EQ(h.context->loop.StationRefreshSecond, RefreshSecond(h.clock.now, 41));
  for (int tick = 3; tick < 40; ++tick)
    h.Tick();
  EXPECT_EQ(h.window.alphas, std::vector<int>{0});
  h.Tick();  // stage 40
  EXPECT_EQ(h.window.alphas, (std::vector<int>{0, 255}));
  EXPECT_EQ(h.context->loop.StartupStage, 41);
  h.Tick();
  EXPECT_EQ(h.window.alphas.size(), 2u);
}

TEST(MainLoopStartup, HiddenFrameKeepsTheFramedClientSize) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "[Flag]\nFlameOff=1\nOntop=0\n");
  h.InitWithTheme();
  h.Tick();
  const AppSettings& s = h.context->settings;
  EXPECT_EQ(h.window.style & kFrameStyleBits, 0u);
  const Rect client = h.window.GetClientRect();
  EXPECT_EQ(client.Width(), s.Right - s.Left - h.window.frameWidth);
  EXPECT_EQ(client.Height(), s.Bottom - s.Top - h.window.frameHeight);
  ASSERT_EQ(h.window.posCalls.size(), 1u);
  EXPECT_EQ(h.window.posCalls[0].flags, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  h.Tick();  // Ontop 0: no topmost request at stage 1
  EXPECT_EQ(h.window.posCalls.size(), 1u);
}

// Which seconds of the minute start a fetch, with one tick per second after start-up.
std::set<int> FetchSeconds(const std::string& ini, int seconds, int* startupFetches = nullptr) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", ini);
  h.clock.Set(2026, 12, 8, 12, 0, 0);
  h.InitWithTheme();
  h.Tick();
  if (startupFetches) *startupFetches = h.recording.fetch.starts;
  std::set<int> started;
  for (int i = 0; i < seconds; ++i) {
    const int before = h.recording.fetch.starts;
    h.TickSeconds(1);
    if (h.recording.fetch.starts > before) started.insert(h.clock.now.tm_sec);
  }
  return started;
}

TEST(MainLoopSchedule, ReloadAndClockAlignment) {
  struct Case {
    const char* ini;
    std::set<int> seconds;
  };
  const Case cases[] = {
      {"[Config]\nReload=1\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"[Config]\nReload=2\n", {2, 4, 6, 8, 10, 12}},
      {"[Config]\nReload=4\n[Flag]\nTStart=4\n", {5, 9}},  // second 1 precedes alignment
      {"[Config]\nReload=4\n[Flag]\nTStart=3\n", {2, 6, 10}},
      {"[Config]\nReload=4\n[Flag]\nTStart=5\n", {4, 8, 12}},
      {"[Config]\nReload=4\n[Flag]\nTStart=6\n", {3, 7, 11}},
      {"[Config]\nReload=2\n[Flag]\nTStart=3\n", {2, 4, 6, 8, 10, 12}},
      {"[Config]\nReload=2\n[Flag]\nTStart=4\n", {3, 5, 7, 9, 11}},
      {"[Config]\nReload=10\n[Flag]\nTStart=5\n", {}},
      {"[Config]\nReload=60\n[Flag]\nDemo=1\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
  };
  for (const Case& c : cases) {
    int startup = 0;
    EXPECT_EQ(FetchSeconds(c.ini, 12, &startup), c.seconds) << c.ini;
    EXPECT_EQ(startup, 1) << c.ini;
  }
  // Over a whole minute TStart 4 with Reload 4 starts on seconds 1, 5, 9, … 57.
  std::set<int> everyFourth;
  for (int second = 1; second < 60; second += 4)
    everyFourth.insert(second);
  EXPECT_EQ(FetchSeconds("[Config]\nReload=4\n[Flag]\nTStart=4\n", 62), everyFourth);
  // TStart 1-2 align only when the phase wraps: after an odd second it restarts at 1.
  EXPECT_EQ(FetchSeconds("[Config]\nReload=3\n[Flag]\nTStart=1\n", 12),
            (std::set<int>{3, 6, 8, 10, 12}));
}

TEST(MainLoopSchedule, UrlFailureHoldsFetchesOffForTwoSeconds) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "[Config]\nReload=1\n");
  h.InitWithTheme();
  h.Tick();
  h.TickSeconds(1);
  const int before = h.recording.fetch.starts;
  h.context->fetch.LastNetError = 6;
  h.context->fetch.FetchStatus = FetchUrlFailed;
  h.TickSeconds(1);  // takes the failure over on a new second: hold-off 2, counted to 1
  EXPECT_EQ(h.context->loop.FetchHoldOff, 1);
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.fetch.starts, before + 1);  // only the start before the failure
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.fetch.starts, before + 2);
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);

  // Demo mode and the debug flag never hold off.
  h.context->settings.Demo = 1;
  h.context->fetch.FetchStatus = FetchUrlFailed;
  h.TickSeconds(1);
  EXPECT_EQ(h.context->loop.FetchHoldOff, 0);
}

// The report that was the latest at start-up is only shown; the next one is announced too.
TEST(MainLoopTakeOver, ANewReportIsAnnouncedAfterTheOneFoundAtStart) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  h.recording.fetch.fill = [](ReportStore& display) {
    display.latest.maxScale = 45;
    display.latest.hypocenterName.Assign(u"熊本県熊本地方");
  };
  for (const char16_t* id : {u"\"first\"", u"\"second\""}) {
    h.context->fetch.NewestId = id;
    h.context->fetch.FetchStatus = FetchDone;
    h.Tick();
  }
  ASSERT_EQ(h.recording.notify.shown.size(), 1u);
  EXPECT_EQ(h.recording.notify.shown[0].summary, u"地震情報 最大震度5弱");
  EXPECT_EQ(h.recording.notify.shown[0].body, u"熊本県熊本地方");
}

TEST(MainLoopTakeOver, DoneCopiesSortsComposesAndRestartsTheTicker) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  const int composed = h.window.invalidations;
  h.recording.fetch.fill = [](ReportStore& display) {
    display.latest.maxScale = 45;
    display.latest.pointCount = 3;
    display.latest.points[0].scale = 10;
    display.latest.points[1].scale = 45;
    display.latest.points[2].scale = 45;
  };
  h.context->fetch.NewestId = u"\"abc\"";
  h.context->fetch.FetchStatus = FetchDone;
  h.context->loop.FetchHoldOff = 2;
  h.Tick();
  EXPECT_EQ(h.recording.fetch.takeOvers, 1);
  EXPECT_EQ(h.context->fetch.LastShownId, u"\"abc\"");
  EXPECT_EQ(h.display.shown().latest.points[0].scale, 45);
  EXPECT_EQ(h.display.shown().latest.MaxScalePointCount, 2);
  EXPECT_GT(h.window.invalidations, composed);
  EXPECT_EQ(h.context->loop.TickerOffset, 3 * -70);
  EXPECT_EQ(h.context->loop.FetchHoldOff, 0);
  EXPECT_EQ(h.context->loop.LastFetchStatus, FetchDone);
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);

  // A running worker's word is left alone; unchanged is only handed back.
  h.context->fetch.FetchStatus = FetchRunning;
  h.Tick();
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchRunning);
  EXPECT_EQ(h.context->loop.LastFetchStatus, FetchRunning);
  h.context->fetch.FetchStatus = FetchUnchanged;
  h.Tick();
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);
  EXPECT_EQ(h.recording.fetch.takeOvers, 1);
}

TEST(MainLoopTakeOver, FailuresWriteTheirEventLogLines) {
  struct Case {
    FetchStatusValue status;
    std::string cause;
    std::string detail;
  };
  const Case cases[] = {
      {FetchOpenFailed, "接続エラー … ネット接続不良", "エラー番号 … 12029"},
      {FetchBadBody, "接続エラー … サーバーエラー",
       "エラー対策 … 情報取得周期の数値を増やしてください"},
      {FetchUrlFailed, "接続エラー … URL取得失敗", "エラー番号 … 12029"},
      {static_cast<FetchStatusValue>(-7), "接続エラー … URL取得失敗", "エラー番号 … 12029"},
  };
  for (const Case& c : cases) {
    ShellHarness h;
    h.InitWithTheme();
    h.Tick();
    const std::size_t header = h.Log().size();
    h.context->fetch.LastNetError = 12029;
    h.context->fetch.FetchStatus = c.status;
    h.Tick();
    const std::string stars(97, '*');
    const std::string stamp = "2026/12/08 12:00:00 : ";
    const std::string prefix = stamp + "Event Log       \xEF\xBC\x9A ";
    EXPECT_EQ(h.Log().substr(header), stamp + stars + "\r\n" + prefix + c.cause + "\r\n" + prefix +
                                          c.detail + "\r\n" + stamp + stars + "\r\n")
        << static_cast<int>(c.status);
    EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);
    EXPECT_EQ(h.context->loop.FetchHoldOff, static_cast<int>(c.status) <= -3 ? 2 : 0);
  }
}

TEST(MainLoopTakeOver, FailuresInARowBackOffAndTheLogSaysWhatHappened) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  const auto takeOver = [&h](FetchStatusValue status, FetchDetail detail) {
    h.context->fetch.Detail = std::move(detail);
    h.context->fetch.FetchStatus = status;
    h.Tick();
    return h.context->loop.FetchHoldOff;
  };
  FetchDetail refused;
  refused.problem = FetchProblem::kUnreachable;
  refused.error = 7;
  refused.errorText = "Couldn't connect to server";
  FetchDetail tooMany;
  tooMany.problem = FetchProblem::kHttpStatus;
  tooMany.httpStatus = 429;
  tooMany.retryAfterSeconds = 60;

  const std::size_t header = h.Log().size();
  EXPECT_EQ(takeOver(FetchUrlFailed, refused), 2);
  EXPECT_EQ(takeOver(FetchUrlFailed, refused), 4);
  EXPECT_EQ(takeOver(FetchUrlFailed, refused), 8);
  const std::string prefix = "Event Log       \xEF\xBC\x9A ";
  EXPECT_NE(
      h.Log().find(prefix + "詳細 … 応答がありません (curl 7: Couldn't connect to server)\r\n",
                   header),
      std::string::npos)
      << h.Log();
  EXPECT_NE(h.Log().find(prefix + "次回取得 … 8 秒後以降\r\n", header), std::string::npos);
  EXPECT_EQ(takeOver(FetchBadBody, tooMany), 60);
  EXPECT_NE(h.Log().find(prefix + "詳細 … HTTP 429 の応答です (Retry-After 60 秒)\r\n", header),
            std::string::npos);

  // A success ends the run of failures.
  h.context->loop.FetchHoldOff = 0;
  takeOver(FetchUnchanged, {});
  EXPECT_EQ(takeOver(FetchUrlFailed, refused), 2);
}

TEST(MainLoopTakeOver, AListWithoutReportsKeepsThePicture) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  h.display.shownForTest().latest.maxScale = 45;
  h.context->fetch.LastShownId = u"\"shown\"";
  const int invalidations = h.window.invalidations;
  const std::size_t header = h.Log().size();
  h.context->fetch.FetchStatus = FetchNoReports;
  h.Tick();
  EXPECT_EQ(h.recording.fetch.takeOvers, 0);
  EXPECT_EQ(h.display.shown().latest.maxScale, 45);
  EXPECT_EQ(h.context->fetch.LastShownId, u"\"shown\"");
  EXPECT_EQ(h.window.invalidations, invalidations);
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);
  EXPECT_EQ(h.context->loop.LastFetchStatus, FetchNoReports);
  EXPECT_NE(h.Log().find("取得結果 … 地震情報のないリストです", header), std::string::npos);
}

TEST(MainLoopTicker, AdvancesByFrameTicksAndWraps) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  LoopState& loop = h.context->loop;
  loop.TickerOffset = 0;
  h.frameTicker.elapsed = 66;  // two frames at 33 periods each
  const int repaints = h.window.invalidations;
  h.Tick();
  EXPECT_EQ(loop.TickerOffset, 2 * 1 * 3);  // SpeedDraw 4: 1 px per frame, SpeedScroll 3
  EXPECT_EQ(loop.PendingFrames, 0);
  EXPECT_EQ(loop.TickerMoved, 1);
  EXPECT_EQ(h.window.invalidations, repaints + 1);
  h.Tick();  // no new frame: no move, no repaint
  EXPECT_EQ(h.window.invalidations, repaints + 1);

  // An empty comment ends at rcRight − rcLeft + 6 = 604; past that the ticker starts over.
  loop.TickerOffset = 605;
  h.frameTicker.elapsed += 33;
  h.Tick();
  EXPECT_EQ(loop.TickerOffset, 0);
  loop.TickerOffset = 604;
  h.frameTicker.elapsed += 33;
  h.Tick();
  EXPECT_EQ(loop.TickerOffset, 607);

  // SpeedDraw 7: frame ticks still repaint, but the ticker does not move.
  h.context->settings.SpeedDraw = 7;
  h.dialog.SetFrameInterval();
  loop.TickerOffset = 10;
  h.frameTicker.elapsed += 33;
  h.Tick();
  EXPECT_EQ(loop.TickerOffset, 10);
  EXPECT_EQ(loop.TickerMoved, 1);
}

TEST(MainLoopDrag, WindowFollowsTheCursorAndPositionStaysFramed) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "[Flag]\nFlameOff=1\n");
  h.InitWithTheme();
  h.Tick();
  LoopState& loop = h.context->loop;
  loop.DragStartPlacement = h.window.placement;
  loop.DragStartCursor = {500, 500};
  loop.DragFollow = 1;
  h.window.cursor = {530, 490};
  const Rect start = h.window.placement.normal;
  h.Tick();
  EXPECT_EQ(h.window.placement.normal,
            (Rect{start.left + 30, start.top - 10, start.right + 30, start.bottom - 10}));
  const AppSettings& s = h.context->settings;
  EXPECT_EQ(s.Left, start.left + 30);
  EXPECT_EQ(s.Bottom, start.bottom - 10 + h.window.frameHeight);
  EXPECT_EQ(s.Right, start.right + 30 + h.window.frameWidth);
}

TEST(MainLoopStationRefresh, RunsOnceADayAtTheDerivedSecond) {
  ShellHarness h;
  h.clock.Set(2026, 12, 8, 1, 0, 0);
  h.InitWithTheme();
  for (int i = 0; i < 41; ++i)
    h.Tick();
  EXPECT_EQ(h.context->loop.StationRefreshSecond, 781);  // 03:13:01 with r = 41

  const int atStart = h.recording.reference.refreshes;  // start-up refreshes once itself
  const int loadsAtStart = h.recording.reference.stationLoads;
  h.clock.Set(2026, 12, 8, 3, 13, 0);
  h.Tick();
  EXPECT_EQ(h.recording.reference.refreshes, atStart);
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.reference.refreshes, atStart + 1);
  EXPECT_EQ(h.recording.reference.stationLoads, loadsAtStart + 1);
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.reference.refreshes, atStart + 1);

  h.clock.Set(2026, 12, 9, 0, 0, 0);  // a new day: the value is derived again without r
  h.Tick();
  EXPECT_EQ(h.context->loop.StationRefreshSecond, 3334);
  h.clock.Set(2026, 12, 9, 3, 55, 33);
  h.Tick();
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.reference.refreshes, atStart + 2);
}

}  // namespace
}  // namespace hw

namespace hw {
namespace {

using test::ShellHarness;

// Frame ticks ask for a repaint only when the paint would change the picture: a moving ticker
// does, a still picture does not (and the counters end as a paint would have left them).
TEST(MainLoopTicker, RepaintsOnlyWhatTheTickerChanges) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  LoopState& loop = h.context->loop;
  h.dialog.OnPaint();  // the window shows the start-up picture ...
  h.Tick();
  h.dialog.OnPaint();  // ... and, as every paint not caused by the ticker, once more
  ASSERT_EQ(loop.PaintCount, 0);
  const int paints = loop.PaintCount;
  const int repaints = h.window.invalidations;
  h.frameTicker.elapsed += 33;
  h.Tick();
  EXPECT_EQ(h.window.invalidations, repaints);  // no comment: nothing moves
  EXPECT_EQ(loop.TickerMoved, 0);
  EXPECT_EQ(loop.PaintCount, paints);

  LatestReport& latest = h.display.shownForTest().latest;
  latest.commentText.Assign(u"津波の心配はありません。");
  latest.commentLength = static_cast<int>(latest.commentText.Size());
  h.display.theme().text.InfoComment.visible = 1;
  h.frameTicker.elapsed += 33;
  h.Tick();
  EXPECT_EQ(h.window.invalidations, repaints + 1);
  EXPECT_EQ(loop.TickerMoved, 1);
}

}  // namespace
}  // namespace hw
