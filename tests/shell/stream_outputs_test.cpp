#include "shell/stream_outputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "display/compose_harness.h"
#include "fakes/fake_stream_ports.h"
#include "platform/clock.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

struct StreamHarness {
  StreamHarness() {
    config.file = u"/tmp/picture.png";
    compose.report().maxScale = 45;
    compose.report().issueType = DetailScale;
    compose.Compose();
    Paint();
  }
  // A paint at a window size other than the page's, as on a desktop.
  void Paint() {
    PaintState state;
    state.NowTime = MakeLocalTime(2026, 12, 8, 12, 0, second++);
    state.window = Size{960, 540};
    compose.display.UseSettings(compose.Settings());
    compose.display.Paint(state);
  }
  void Tick(std::int64_t ms) { outputs.Tick(ms, compose.display, feed); }
  bool Logged(std::u16string_view text) const {
    return std::any_of(log.lines.begin(), log.lines.end(), [&](const std::u16string& line) {
      return line.find(text) != std::u16string::npos;
    });
  }

  test::ComposeHarness compose;
  test::FakePictureWorker worker;
  test::FakeStreamServer server;
  test::FakeCommandRunner commands;
  test::RecordingLog log;
  StreamConfig config;
  FeedState feed;
  StreamOutputs outputs{{&worker, &server, &commands}, log};
  int second = 0;
};

// A picture that changed is handed over at most `rate` times a second, a picture that did not
// change never, and a busy worker is not queued for: the frame waits for the next tick.
TEST(StreamOutputs, OffersChangedPicturesAtMostAtTheRate) {
  StreamHarness h;
  h.config.rate = 2;
  h.config.size = {1280, 720};
  h.outputs.Configure(h.config);
  h.Tick(1000);
  ASSERT_EQ(h.worker.frames.size(), 1U);
  const OutputFrame& first = h.worker.frames[0];
  EXPECT_EQ(first.width, kPageWidth);
  EXPECT_EQ(first.height, kPageHeight);
  EXPECT_EQ(first.size, (Size{1280, 720}));
  EXPECT_EQ(first.file, u"/tmp/picture.png");
  EXPECT_FALSE(first.transparentKey);
  // The frame is the display page at the page's size, not the window's picture.
  EXPECT_EQ(ColorRefFromPixel(first.pixels[0]) & 0xFFFFFF, h.compose.PagePixel(DisplayPage, 0, 0));

  h.Tick(1100);         // nothing changed
  h.compose.Compose();  // a new composition: the next paint changes the picture
  h.Paint();
  h.Tick(1200);  // changed, but too soon
  EXPECT_EQ(h.worker.frames.size(), 1U);
  h.worker.busy = true;
  h.Tick(1500);  // due, but the worker is busy
  EXPECT_EQ(h.worker.frames.size(), 1U);
  h.worker.busy = false;
  h.Tick(1510);
  EXPECT_EQ(h.worker.frames.size(), 2U);
  h.Tick(2100);  // due, but unchanged
  EXPECT_EQ(h.worker.frames.size(), 2U);
}

// While only the page is on and nobody has it open, its picture is renewed every five seconds,
// not at the rate; a page opened gets the rate at once.
TEST(StreamOutputs, UnwatchedPageIsRenewedSeldom) {
  StreamHarness h;
  h.config.file.clear();
  h.config.http = true;
  h.server.connections = 0;
  h.outputs.Configure(h.config);
  const auto changedTick = [&h](std::int64_t ms) {
    h.compose.Compose();
    h.Paint();
    h.Tick(ms);
    return h.worker.frames.size();
  };
  EXPECT_EQ(changedTick(1000), 1U);
  EXPECT_EQ(changedTick(2000), 1U);
  EXPECT_EQ(changedTick(6000), 2U);
  h.server.connections = 1;  // a page opened: the rate at once
  EXPECT_EQ(changedTick(6100), 3U);
  EXPECT_EQ(changedTick(6400), 3U);
  EXPECT_EQ(changedTick(6600), 4U);
}

// Nothing is made while no output is on: no file and no server.
TEST(StreamOutputs, StaysIdleWhileEveryOutputIsOff) {
  StreamHarness h;
  h.config.file.clear();
  h.outputs.Configure(h.config);
  h.Tick(1000);
  h.outputs.AfterReport(h.compose.display, u"\"a\"", ReportSource::kLive);
  EXPECT_TRUE(h.worker.frames.empty());
  EXPECT_TRUE(h.server.listens.empty());
  EXPECT_TRUE(h.commands.started.empty());
}

// A write that keeps failing is said once per reason, and its recovery once.
TEST(StreamOutputs, FileFailuresAreLoggedOncePerReason) {
  StreamHarness h;
  h.outputs.Configure(h.config);
  const auto result = [&](bool written, const std::string& error) {
    OutputResult r;
    r.fileAsked = true;
    r.fileWritten = written;
    r.fileError = error;
    r.png = std::make_shared<const std::string>("png");
    h.worker.result = std::move(r);
    h.Tick(0);
  };
  result(false, "/tmp/picture.png.1a2b.tmp: No space left on device");
  result(false, "/tmp/picture.png.3c4d.tmp: No space left on device");
  result(false, "/tmp/picture.png.5e6f.tmp: Permission denied");
  result(true, "");
  result(true, "");
  std::vector<std::u16string> lines;
  for (const std::u16string& line : h.log.lines) {
    if (line.find(u"配信画像") != std::u16string::npos) lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_NE(lines[0].find(u"No space left on device"), std::u16string::npos);
  EXPECT_NE(lines[1].find(u"Permission denied"), std::u16string::npos);
  EXPECT_NE(lines[2].find(u"再開"), std::u16string::npos);
}

// The command runs once per new live report, with its placeholders filled in after splitting;
// demo and sandbox reports only when asked for, a list kept from an earlier run never; its end
// is logged with the first line of its error output.
TEST(StreamOutputs, CommandRunsOncePerLiveReport) {
  StreamHarness h;
  h.config.onReport = u"notify-send \"M {maxScale}\" {id} {file} {issueType}";
  h.config.file.clear();  // no picture file to wait for
  h.outputs.Configure(h.config);
  const Display& d = h.compose.display;
  h.outputs.AfterReport(d, u"\"abc\"", ReportSource::kLive);
  h.outputs.AfterReport(d, u"\"abc\"", ReportSource::kLive);
  h.outputs.AfterReport(d, u"\"ghi\"", ReportSource::kLive);
  h.outputs.AfterReport(d, u"\"abc\"", ReportSource::kLive);  // shown again after another
  h.outputs.AfterReport(d, u"\"demo-1\"", ReportSource::kDemo);
  h.outputs.AfterReport(d, u"\"sandbox-1\"", ReportSource::kSandbox);
  h.outputs.AfterReport(d, u"\"kept\"", ReportSource::kLastKnown);
  ASSERT_EQ(h.commands.started.size(), 2U);
  EXPECT_EQ(h.commands.started[0],
            (std::vector<std::string>{"notify-send", "M 45", "abc", "", "4"}));
  EXPECT_EQ(h.commands.tags[0], "abc");

  h.config.onReportDemo = true;
  h.outputs.Configure(h.config);
  h.outputs.AfterReport(d, u"\"demo-2\"", ReportSource::kDemo);
  h.outputs.AfterReport(d, u"\"kept-2\"", ReportSource::kLastKnown);
  EXPECT_EQ(h.commands.started.size(), 3U);

  CommandOutcome ended;
  ended.program = "notify-send";
  ended.started = true;
  ended.exitStatus = 3;
  ended.firstErrorLine = "no service";
  CommandOutcome slow = ended;
  slow.timedOut = true;
  h.commands.finished = {ended, slow};
  h.Tick(0);
  EXPECT_TRUE(h.Logged(u"notify-send 終了コード 3"));
  EXPECT_TRUE(h.Logged(u"コマンドのエラー出力 … no service"));
  EXPECT_TRUE(h.Logged(u"時間内に終わらない"));

  h.config.onReport = u"broken \"quote";
  h.outputs.Configure(h.config);
  h.outputs.AfterReport(d, u"\"def\"", ReportSource::kLive);
  EXPECT_EQ(h.commands.started.size(), 3U);
  EXPECT_TRUE(h.Logged(u"コマンドを実行できません"));
}

// With a picture file the command waits until the file shows its report ({file}): until the
// first frame offered after the report is written, or five seconds.
TEST(StreamOutputs, CommandWaitsForThePictureFile) {
  StreamHarness h;
  h.config.onReport = u"show {file}";
  h.outputs.Configure(h.config);
  h.Tick(1000);
  ASSERT_EQ(h.worker.frames.size(), 1U);  // a frame of the picture before the report
  h.outputs.AfterReport(h.compose.display, u"\"abc\"", ReportSource::kLive);
  OutputResult older;
  older.serial = h.worker.frames[0].serial;
  h.worker.result = older;
  h.Tick(1100);
  EXPECT_TRUE(h.commands.started.empty());
  h.compose.Compose();
  h.Paint();
  h.Tick(1600);
  ASSERT_EQ(h.worker.frames.size(), 2U);
  OutputResult shown;
  shown.serial = h.worker.frames[1].serial;
  shown.fileAsked = shown.fileWritten = true;
  h.worker.result = shown;
  h.Tick(1700);
  ASSERT_EQ(h.commands.started.size(), 1U);
  EXPECT_EQ(h.commands.started[0], (std::vector<std::string>{"show", "/tmp/picture.png"}));

  // A worker that never finishes holds the command five seconds at most.
  h.worker.busy = true;
  h.outputs.AfterReport(h.compose.display, u"\"def\"", ReportSource::kLive);
  h.Tick(6600);
  EXPECT_EQ(h.commands.started.size(), 1U);
  h.Tick(6800);
  EXPECT_EQ(h.commands.started.size(), 2U);
}

// The local page: listening is said in the log and the dialog's state, a refusal too; the
// pictures, the report and the feed reach it with one event each.
TEST(StreamOutputs, LocalPageGetsPicturesReportAndFeed) {
  StreamHarness h;
  h.config.http = true;
  h.config.file.clear();
  h.server.refuse = "the address is in use";
  h.outputs.Configure(h.config);
  EXPECT_TRUE(h.outputs.ServerState().on);
  EXPECT_FALSE(h.outputs.ServerState().listening);
  EXPECT_EQ(h.outputs.ServerState().error, u"the address is in use");
  EXPECT_TRUE(h.Logged(u"配信ページを開けません … 127.0.0.1:8551 the address is in use"));

  h.server.refuse.clear();
  h.config.port = 8600;
  h.outputs.Configure(h.config);
  ASSERT_TRUE(h.outputs.ServerState().listening);
  EXPECT_EQ(h.outputs.ServerState().address, u"http://127.0.0.1:8600/");
  EXPECT_TRUE(h.Logged(u"http://127.0.0.1:8600/ で待ち受け"));

  h.feed.shown = ReportSource::kLive;
  h.Tick(0);
  ASSERT_EQ(h.worker.frames.size(), 1U);
  EXPECT_TRUE(h.worker.frames[0].file.empty());
  OutputResult r;
  r.serial = h.worker.frames[0].serial;
  r.png = std::make_shared<const std::string>("png bytes");
  h.worker.result = std::move(r);
  h.outputs.AfterReport(h.compose.display, u"\"abc\"", ReportSource::kLive);
  h.feed.stale = true;
  h.Tick(10);
  ASSERT_NE(h.server.picture, nullptr);
  EXPECT_EQ(*h.server.picture, "png bytes");
  EXPECT_EQ(h.server.overlay, nullptr);  // the overlay form only in overlay mode
  EXPECT_NE(h.server.latest.find("\"id\":\"abc\""), std::string::npos);
  EXPECT_NE(h.server.latest.find("\"maxScale\":45"), std::string::npos);
  EXPECT_NE(h.server.latest.find("\"state\":\"stale\""), std::string::npos);
  const std::vector<std::string>& e = h.server.events;
  const auto has = [&e](const std::string& start) {
    return std::any_of(e.begin(), e.end(),
                       [&](const std::string& s) { return s.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(has("feed {\"source\":\"live\",\"state\":\"live\""));
  EXPECT_TRUE(has("composition {\"id\":\"abc\",\"source\":\"live\",\"maxScale\":45"));
  EXPECT_TRUE(has("picture 1"));
  EXPECT_TRUE(has("feed {\"source\":\"live\",\"state\":\"stale\""));

  h.config.http = false;
  h.outputs.Configure(h.config);
  EXPECT_FALSE(h.server.listening);
  EXPECT_FALSE(h.outputs.ServerState().on);
}

}  // namespace
}  // namespace hw
