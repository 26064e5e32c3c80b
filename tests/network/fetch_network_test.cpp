#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "acquisition/fetch_worker.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_frame_ticker.h"
#include "fakes/fake_push_channel.h"
#include "fakes/fake_text_renderer.h"
#include "fakes/fake_window_host.h"
#include "fakes/recording_ports.h"
#include "fakes/temp_folder.h"
#include "fakes/test_http_server.h"
#include "platform/curl/curl_http_client.h"
#include "shell/app_context.h"
#include "shell/fetch_config.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

using Mode = test::TestHttpServer::Mode;
using namespace std::chrono_literals;

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(HW_FIXTURE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The main window with the real fetch worker over the real HTTP client.
struct NetworkHarness {
  NetworkHarness() : folder(true) {
    folder.Write("Theme/Theme_REV/Setting.ini", "");
    dialog.OnInitDialog();
  }
  ~NetworkHarness() { worker.Shutdown(); }

  // Starts the loop (the first tick starts the first fetch) against `base`.
  void Start(const std::string& base) {
    context->settings.ApiBase = std::u16string(base.begin(), base.end());
    dialog.OnTimer();
    // A quick worker can finish within the tick that started it, which then takes it over.
    const FetchStatusValue last = context->loop.LastFetchStatus;
    if (context->fetch.FetchStatus.load() == FetchIdle && last != FetchIdle &&
        last != FetchRunning) {
      takenAtStart = last;
    }
  }
  // Waits for the worker's result and lets the loop take it over; returns the result.
  FetchStatusValue TakeOver() {
    if (takenAtStart != FetchIdle) return std::exchange(takenAtStart, FetchIdle);
    FetchStatusValue status = FetchIdle;
    for (int i = 0; i < 12000; ++i) {  // up to a minute on a loaded machine
      status = context->fetch.FetchStatus.load();
      if (status != FetchIdle && status != FetchRunning) break;
      std::this_thread::sleep_for(5ms);
    }
    dialog.OnTimer();
    return status;
  }
  FetchStatusValue FetchAgain() {
    worker.StartFetchWorker();
    return TakeOver();
  }
  std::string Log() const { return folder.Read("Eventlog/event.log"); }

  FetchStatusValue takenAtStart = FetchIdle;
  test::TempFolder folder;
  test::FakeClock clock;
  test::FakeWindowHost window;
  test::FakeFrameTicker frameTicker;
  test::FakeTextRenderer text;
  std::unique_ptr<AppContext> context = std::make_unique<AppContext>();
  Display display{{text, context->eventLog, window}};
  CurlHttpClient http;
  FetchWorker worker{context->fetch, http, [this] { return MakeFetchConfig(*context); }};
  test::RecordingPorts others;
  ShellPorts ports{worker, others.reference, others.assets, others.tray, others.ui, others.notify};
  PlatformServices platform{clock, window, frameTicker, text};
  CTremorlensDlg dialog{*context, display, platform, ports};
};

const std::string kStars(97, '*');

TEST(FetchOverHttp, NewReportIsTakenOverAndTheSameOneIsUnchanged) {
  test::TestHttpServer server;
  server.Serve(Mode::kBody, Fixture("samples/detailscale-2024-08-10-two-reports.json"));
  NetworkHarness h;
  h.Start(server.BaseUrl());
  ASSERT_EQ(h.TakeOver(), FetchDone);
  EXPECT_EQ(server.RequestLines().at(0), "GET /v2/history?codes=551&limit=20 HTTP/1.1");
  EXPECT_EQ(server.UserAgents().at(0), "REVERIZA");
  EXPECT_EQ(h.context->fetch.LastShownId, u"\"66b6f8d8d616be440743d3bf\"");
  const LatestReport& latest = h.display.shown().latest;
  EXPECT_EQ(latest.pointCount, 45);
  EXPECT_EQ(latest.points[0].scale, 30);  // sorted by the take-over
  EXPECT_EQ(latest.MaxScalePointCount, 1);
  EXPECT_EQ(h.display.shown().history[1].hypocenterName, u"オホーツク海南部");

  EXPECT_EQ(h.FetchAgain(), FetchUnchanged);
  EXPECT_EQ(h.context->fetch.FetchCount.load(), 2);
  EXPECT_EQ(h.context->loop.LastFetchStatus, FetchUnchanged);
}

TEST(FetchOverHttp, AnswersThatAreNoReportListAreBadBodies) {
  test::TestHttpServer server;
  NetworkHarness h;
  h.Start(server.BaseUrl());
  h.TakeOver();  // the start-up fetch got an empty body already
  for (Mode mode : {Mode::kErrorPage, Mode::kEmpty}) {
    server.Serve(mode);
    const std::size_t before = h.Log().size();
    EXPECT_EQ(h.FetchAgain(), FetchBadBody);
    EXPECT_NE(h.Log().substr(before).find("接続エラー … サーバーエラー"), std::string::npos);
    EXPECT_NE(h.Log().substr(before).find(kStars), std::string::npos);
  }
  // The third failure in a row backs off: Reload × 2 × 2.
  EXPECT_EQ(h.context->loop.FetchHoldOff, 8);
}

// After a good fetch, answers that are no whole report list (whatever their body says) keep
// the picture, the history file and the shown report, and the log says what happened.
TEST(FetchOverHttp, AnswersThatAreNoWholeListReplaceNothing) {
  const std::string first = Fixture("samples/detailscale-2024-08-10-two-reports.json");
  const std::string other = Fixture("samples/seven-types-2016-2020.json");  // a newer report
  std::string huge = "[";  // real reports past the limit of one report, and past 700,000 bytes
  for (int i = 0; huge.size() < 800000; ++i) {
    huge += (i ? "," : "") + other.substr(1, other.size() - 2);
  }
  huge += "]";
  struct Case {
    const char* what;
    Mode mode;
    int status;
    std::string headers;
    std::string body;
    FetchStatusValue result;
    std::string logged;
    std::size_t requests;
  };
  const Case cases[] = {
      {"429 with []", Mode::kStatus, 429, "Retry-After: 60\r\n", "[]", FetchBadBody,
       "詳細 … HTTP 429 の応答です (Retry-After 60 秒)", 1},
      {"500 with a list", Mode::kStatus, 500, "", other, FetchBadBody, "詳細 … HTTP 500 の応答です",
       1},
      {"shorter than announced", Mode::kTruncated, 200, "", other, FetchUrlFailed, "curl 18: ", 1},
      {"trickling", Mode::kTrickle, 200, "", other, FetchUrlFailed, "curl 28: Operation timed out",
       1},
      {"past the size limit", Mode::kBody, 200, "", huge, FetchBadBody, "上限 524288 バイト", 1},
      {"redirect loop", Mode::kRedirectLoop, 200, "", "", FetchUrlFailed,
       "curl 47: Maximum (3) redirects followed", 4},
      {"200 with []", Mode::kBody, 200, "", "[]", FetchNoReports, "地震情報のないリストです", 1},
      {"200 with objects the reader cannot take", Mode::kBody, 200, "", "[{\"code\" : 551 }]",
       FetchNoReports, "地震情報として読み取れないリストです (17 バイト", 1},
  };
  test::TestHttpServer server;
  server.Serve(Mode::kBody, first);
  NetworkHarness h;
  h.context->settings.SiJson = 1;
  h.context->settings.HisJsonNum = 1;
  h.Start(server.BaseUrl());
  ASSERT_EQ(h.TakeOver(), FetchDone);
  ASSERT_EQ(h.folder.Read("Storage/history.json"), first);
  for (const Case& c : cases) {
    server.SetStatus(c.status, c.headers);
    server.Serve(c.mode, c.body);
    const std::size_t logged = h.Log().size();
    const std::size_t requests = server.RequestLines().size();
    EXPECT_EQ(h.FetchAgain(), c.result) << c.what;
    EXPECT_EQ(server.RequestLines().size() - requests, c.requests) << c.what;
    EXPECT_NE(h.Log().find(c.logged, logged), std::string::npos) << c.what << "\n" << h.Log();
    EXPECT_EQ(h.folder.Read("Storage/history.json"), first) << c.what;
    EXPECT_EQ(h.context->fetch.LastShownId, u"\"66b6f8d8d616be440743d3bf\"") << c.what;
    EXPECT_EQ(h.display.shown().latest.pointCount, 45) << c.what;
  }
}

TEST(FetchOverHttp, UnreachableServersAreUrlFailuresWithAHoldOff) {
  struct Case {
    const char* what;
    Mode mode;
    bool refused;
    int curlError;
  };
  const Case cases[] = {
      {"refused", Mode::kBody, true, 7},
      {"closed without answer", Mode::kCloseWithoutAnswer, false, 52},
      {"silent past the time-out", Mode::kStallBeforeAnswer, false, 28},
  };
  for (const Case& c : cases) {
    test::TestHttpServer server;
    server.Serve(c.mode);
    server.SetStall(6s);
    NetworkHarness h;
    h.Start(c.refused ? "http://127.0.0.1:" + std::to_string(test::TestHttpServer::UnusedPort())
                      : server.BaseUrl());
    EXPECT_EQ(h.TakeOver(), FetchUrlFailed) << c.what;
    EXPECT_EQ(h.context->fetch.NetErrorStage.load(), 2) << c.what;
    EXPECT_EQ(h.context->fetch.LastNetError.load(), c.curlError) << c.what;
    EXPECT_EQ(h.context->loop.FetchHoldOff, 2) << c.what;
    const std::string expected =
        "Event Log       \xEF\xBC\x9A 接続エラー … URL取得失敗\r\n"
        "2026/12/08 12:00:00 : Event Log       \xEF\xBC\x9A エラー番号 … " +
        std::to_string(c.curlError) + "\r\n";
    EXPECT_NE(h.Log().find(expected), std::string::npos) << c.what << "\n" << h.Log();
  }
}

TEST(FetchOverHttp, ShutdownAbortsARunningTransfer) {
  test::TestHttpServer server;
  server.Serve(Mode::kStallBeforeAnswer);
  server.SetStall(60s);
  NetworkHarness h;
  h.Start(server.BaseUrl());
  while (server.RequestLines().empty())
    std::this_thread::sleep_for(5ms);
  h.dialog.OnDestroy();  // returns once the worker has ended
  EXPECT_EQ(h.context->fetch.FetchStatus.load(), FetchUrlFailed);
  EXPECT_EQ(h.context->fetch.LastNetError.load(), 42);  // aborted
}

// An HTTPS server whose certificate nobody trusts: the fetch must refuse it.
TEST(FetchOverHttp, UntrustedCertificateIsAUrlFailure) {
  test::TempFolder keys;
  const std::string dir = keys.path().string();
  const std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
      "-keyout " +
      dir + "/key.pem -out " + dir + "/cert.pem 2>/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0) << "openssl is needed for this test";
  const int port = test::TestHttpServer::UnusedPort();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execlp("openssl", "openssl", "s_server", "-quiet", "-www", "-accept",
             std::to_string(port).c_str(), "-cert", (dir + "/cert.pem").c_str(), "-key",
             (dir + "/key.pem").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  NetworkHarness h;
  ASSERT_TRUE(test::TestHttpServer::WaitUntilListening(port, 60s)) << "openssl s_server";
  h.Start("https://127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(h.TakeOver(), FetchUrlFailed);
  EXPECT_EQ(h.context->fetch.LastNetError.load(), 60);  // peer certificate cannot be verified
  ::kill(child, SIGTERM);
  ::waitpid(child, nullptr, 0);
}

// Polls every second, phantom push announcements every second and a service that redirects:
// no minute (of the fake clock) ever sees more than 60 requests, redirects included.
TEST(FetchOverHttp, RedirectsAndPhantomPushesStayWithinSixtyRequestsAMinute) {
  const std::string list = Fixture("samples/detailscale-2024-08-10-two-reports.json");
  for (const Mode mode : {Mode::kRedirectEveryOther, Mode::kRedirectLoop}) {
    test::TestHttpServer server;
    server.Serve(mode, list);
    test::FakePushChannel channel;
    NetworkHarness h;
    h.context->settings.Reload = 1;
    h.context->settings.PushReload = 1;
    h.dialog.AttachPushChannel(channel);
    h.Start(server.BaseUrl());
    // Takes the worker's result over within the second of the fake clock (a started fetch is
    // claimed at once, so FetchRunning shows from the start on), and counts the requests the
    // second made.
    std::vector<std::size_t> perSecond;
    std::size_t seen = 0;
    const auto endSecond = [&] {
      for (int i = 0; i < 12000 && h.context->fetch.FetchStatus.load() != FetchIdle; ++i) {
        std::this_thread::sleep_for(1ms);
        h.dialog.OnTimer();
      }
      ASSERT_EQ(h.context->fetch.FetchStatus.load(), FetchIdle);
      const std::size_t requests = server.RequestLines().size();
      perSecond.push_back(requests - seen);
      seen = requests;
    };
    endSecond();  // the start-up fetch
    for (int second = 1; second <= 150; ++second) {
      // Requests are counted in the second of the fake clock in which they are made.
      h.clock.AdvanceSeconds(1);
      if (second == 2) channel.Connect();  // reads the list at once
      if (second >= 2)
        channel.Send(second % 2 ? R"({"_id":"a","code":551})" : R"({"_id":"b","code":551})");
      h.dialog.OnTimer();
      endSecond();
    }
    std::size_t most = 0;
    for (std::size_t from = 0; from < perSecond.size(); ++from) {
      std::size_t sum = 0;
      for (std::size_t s = from; s < std::min(perSecond.size(), from + 60); ++s)
        sum += perSecond[s];
      most = std::max(most, sum);
    }
    EXPECT_LE(most, 60u) << (mode == Mode::kRedirectLoop ? "loop" : "every other");
    if (mode == Mode::kRedirectEveryOther) {
      EXPECT_GE(most, 55u) << "the budget is used, not wasted";
      EXPECT_NE(h.Log().find("へのリクエストが 1 分間に 60 回に達したので"), std::string::npos);
    }
  }
}

// Many fetches back to back while the loop takes each result over (run under ThreadSanitizer).
TEST(FetchOverHttp, BackToBackFetchesHandOverCleanly) {
  test::TestHttpServer server;
  const std::string first = Fixture("samples/detailscale-2024-08-10-two-reports.json");
  const std::string second = Fixture("samples/seven-types-2016-2020.json");
  server.Serve(Mode::kBody, first);
  NetworkHarness h;
  h.Start(server.BaseUrl());
  int done = 0;
  for (int i = 0; i < 60; ++i) {
    server.Serve(Mode::kBody, i % 2 ? first : second);
    // Starts while a result may still be pending are only counted.
    h.worker.StartFetchWorker();
    h.worker.StartFetchWorker();
    if (h.TakeOver() == FetchDone) ++done;
    EXPECT_GT(h.display.shown().latest.pointCount, 0);
  }
  EXPECT_GE(done, 55);
}

}  // namespace
}  // namespace hw
