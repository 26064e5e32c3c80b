#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "shell/shell_harness.h"
// Last: its helper named Point would hide the geometry type the harness uses.
#include "acquisition/report_json.h"
#include "shell/tray_tooltip.h"

namespace hw {
namespace {

using test::Body;
using test::ReportJson;
using test::ShellHarness;

// A started main window whose fetches the test hands over: `Fetched` a new report from
// `source`, `Answered` an unchanged list, `Failed` an unreachable service.
struct FeedHarness : ShellHarness {
  void Start() {
    InitWithTheme();
    Tick();  // stage 0: the log, the kept list and the first fetch
  }
  void Fetched(ReportSource source, const char16_t* id = u"\"r1\"") {
    recording.fetch.fill = [](ReportStore& display) {
      display.latest.issueType = DetailScale;
      display.latest.maxScale = 30;
      display.latest.eventDayTime.Assign(u"10日14時18分");
      display.latest.hypocenterName.Assign(u"熊本県熊本地方");
    };
    context->fetch.Detail.source = source;
    context->fetch.NewestId = id;
    Hand(FetchDone);
  }
  void Answered() {
    context->fetch.Detail.source = ReportSource::kLive;
    Hand(FetchUnchanged);
  }
  void Failed() {
    context->fetch.Detail = FetchDetail{};
    context->fetch.Detail.problem = FetchProblem::kUnreachable;
    Hand(FetchOpenFailed);
  }
  void Hand(FetchStatusValue status) {
    context->fetch.FetchStatus = status;
    Tick();
  }
  PictureLabel Label() const { return PictureLabelFor(dialog.Feed()); }
};

std::vector<std::u16string> Lines(std::initializer_list<const char16_t*> lines) {
  return {lines.begin(), lines.end()};
}

TEST(FeedWatch, TheLabelFollowsThePictureNotTheMode) {
  FeedHarness h;
  h.Start();
  EXPECT_EQ(h.Label().lines, Lines({u"受信待ち"}));

  h.dialog.OnCommand(kCommandToggleDemoFile);
  h.Fetched(ReportSource::kDemo, u"\"demo\"");
  EXPECT_EQ(h.Label().lines, Lines({u"デモ表示 DEMO"}));
  // Back to live while the service cannot be reached: the demo's report stays on the window,
  // and so does its label, however long the service stays away.
  h.dialog.OnCommand(kCommandToggleDemoFile);
  ASSERT_EQ(h.context->settings.Demo, 0);
  h.Failed();
  h.TickSeconds(90);
  EXPECT_EQ(h.Label().lines, Lines({u"デモ表示 DEMO"}));
  h.Fetched(ReportSource::kLive, u"\"live\"");
  EXPECT_TRUE(h.Label().lines.empty());

  h.dialog.OnCommand(kCommandToggleSandbox);
  h.Fetched(ReportSource::kSandbox, u"\"test\"");
  EXPECT_EQ(h.Label().lines, Lines({u"SandBox"}));
}

TEST(FeedWatch, AFeedWithoutAWholeListForTheStalePeriodIsShownAsDown) {
  struct Case {
    int reload;
    int staleAfter;
  };
  for (const Case& c : {Case{2, 60}, Case{20, 100}}) {
    SCOPED_TRACE(c.reload);
    FeedHarness h;
    h.folder.Write("Heronwatch.ini", "[Config]\nReload=" + std::to_string(c.reload) + "\n");
    h.Start();
    h.Fetched(ReportSource::kLive);
    const std::tm received = h.context->loop.NowTime;
    // Failures and the push channel's state do not count as answers; an unchanged list does.
    h.TickSeconds(c.staleAfter - 10);
    h.Failed();
    h.Answered();
    h.TickSeconds(c.staleAfter - 1);
    EXPECT_FALSE(h.dialog.Feed().stale);
    h.TickSeconds(1);
    ASSERT_TRUE(h.dialog.Feed().stale);
    const std::tm answered = *h.dialog.Feed().lastSuccess;
    EXPECT_EQ(h.Label().lines,
              Lines({u"接続できません", (u"最終受信 " + ClockText(answered)).c_str()}));
    EXPECT_TRUE(h.Label().failure);
    EXPECT_NE(h.recording.tray.toolTip.find(u"接続できません"), std::u16string::npos);
    EXPECT_NE(h.Log().find("受信途絶"), std::string::npos);
    EXPECT_NE(ClockText(received), ClockText(answered));

    h.Answered();
    EXPECT_FALSE(h.dialog.Feed().stale);
    EXPECT_TRUE(h.Label().lines.empty());
    EXPECT_NE(h.Log().find("受信再開"), std::string::npos);
  }
}

TEST(FeedWatch, NothingIsStaleInTheDemoAndASourceChangeStartsTheWatchAnew) {
  FeedHarness h;
  h.Start();
  h.dialog.OnCommand(kCommandToggleDemoFile);
  h.TickSeconds(120);
  EXPECT_FALSE(h.dialog.Feed().stale);
  h.dialog.OnCommand(kCommandToggleDemoFile);
  h.TickSeconds(59);
  EXPECT_FALSE(h.dialog.Feed().stale);
  h.TickSeconds(1);
  EXPECT_TRUE(h.dialog.Feed().stale);
  // Never having had an answer, the picture says it cannot connect.
  EXPECT_EQ(h.Label().lines, Lines({u"接続できません"}));
  h.dialog.OnCommand(kCommandToggleSandbox);
  EXPECT_FALSE(h.dialog.Feed().stale);
}

TEST(FeedWatch, TheLastLiveListIsShownUntilTheServiceAnswers) {
  FeedHarness h;
  h.folder.Write("Storage/last.json",
                 Body({ReportJson().Id("kept").Name("千葉県北西部").MaxScale("40")}));
  // Written on 7 December at 09:05 local time.
  std::tm written = MakeLocalTime(2026, 12, 7, 9, 5, 0);
  const auto when = std::chrono::file_clock::from_sys(
      std::chrono::system_clock::from_time_t(std::mktime(&written)));
  std::filesystem::last_write_time(h.folder.path() / "Storage/last.json", when);
  h.Start();
  EXPECT_EQ(h.dialog.Feed().shown, ReportSource::kLastKnown);
  EXPECT_EQ(h.display.shown().latest.hypocenterName, u"千葉県北西部");
  EXPECT_EQ(h.Label().lines, Lines({u"前回の受信", u"12/07 09:05"}));
  EXPECT_NE(h.Log().find("前回の受信データを表示"), std::string::npos);
  EXPECT_NE(h.recording.tray.toolTip.find(u"千葉県北西部"), std::u16string::npos);
  // The first list of the service replaces it, even when it holds the same report.
  EXPECT_TRUE(h.context->fetch.LastShownId.empty());
  h.Fetched(ReportSource::kLive, u"\"kept\"");
  EXPECT_TRUE(h.Label().lines.empty());
}

TEST(FeedWatch, AKeptListThatCannotBeReadIsIgnoredAndSaidSo) {
  for (const std::string body : {"[{\"code\":551,\"earthquake\"", "[]", "not a list"}) {
    SCOPED_TRACE(body);
    FeedHarness h;
    h.folder.Write("Storage/last.json", body);
    h.Start();
    EXPECT_FALSE(h.dialog.Feed().shown);
    EXPECT_EQ(h.Label().lines, Lines({u"受信待ち"}));
    EXPECT_NE(h.Log().find("前回の受信データを読めません"), std::string::npos);
  }
}

TEST(TrayToolTip, NamesTheReportAndTheFeed) {
  ReportHeader report;
  report.issueType = DetailScale;
  report.maxScale = 45;
  report.eventDayTime.Assign(u"10日14時18分");
  report.hypocenterName.Assign(u"熊本県熊本地方");
  report.magnitude = 3.5;
  FeedState feed;
  EXPECT_EQ(TrayToolTipText(feed, report), u"Heronwatch\n受信待ち");
  feed.shown = ReportSource::kLive;
  feed.lastSuccess = MakeLocalTime(2026, 12, 10, 14, 20, 5);
  EXPECT_EQ(
      TrayToolTipText(feed, report),
      u"Heronwatch\n地震情報 最大震度5弱\n10日14時18分ごろ 熊本県熊本地方 M3.5\n受信中 最終受信 "
      u"14:20");
  feed.stale = true;
  EXPECT_EQ(TrayToolTipText(feed, report),
            u"Heronwatch\n地震情報 最大震度5弱\n10日14時18分ごろ 熊本県熊本地方 M3.5\n"
            u"接続できません 最終受信 14:20:05");
}

}  // namespace
}  // namespace hw
