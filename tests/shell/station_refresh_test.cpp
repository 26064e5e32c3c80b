#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "fakes/fake_clock.h"
#include "fakes/fake_frame_ticker.h"
#include "fakes/fake_text_renderer.h"
#include "fakes/fake_window_host.h"
#include "fakes/recording_ports.h"
#include "fakes/temp_folder.h"
#include "refdata/reference_data_service.h"
#include "shell/app_context.h"
#include "shell/fetch_config.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

using namespace std::chrono_literals;

// An HTTP client whose every request waits until the test answers it (or AbortAll ends it),
// so that a test can hold a download in the middle for as long as it likes.
class GatedHttpClient final : public HttpClient {
 public:
  HttpResult Get(const std::string&, const HttpGetOptions&, const HttpSink& sink) override {
    std::unique_lock lock(mutex_);
    ++requests_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return answers_ > 0 || aborted_; });
    if (aborted_) return {HttpStage::kUrlFailed, 42, 0, "aborted"};
    --answers_;
    const HttpResult result{HttpStage::kOpened, 0, status_};
    const std::string body = body_;
    lock.unlock();
    sink(body);
    return result;
  }
  void AbortAll() override {
    const std::lock_guard lock(mutex_);
    aborted_ = true;
    changed_.notify_all();
  }
  void Answer(int status, std::string body) {
    const std::lock_guard lock(mutex_);
    status_ = status;
    body_ = std::move(body);
    ++answers_;
    changed_.notify_all();
  }
  bool WaitForRequests(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 60s, [&] { return requests_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int requests_ = 0;
  int answers_ = 0;
  bool aborted_ = false;
  int status_ = 200;
  std::string body_;
};

std::string StationList(int stations) {
  std::string list = "[";
  for (int i = 0; i < stations; ++i)
    list += std::string(i ? "," : "") +
            R"({"lat":35.00,"lon":135.00,"name":"\u6771","pref":26,"affi":1})";
  return list + "]";
}

// The main window with the real reference data service over the gated client.
struct RefreshHarness {
  RefreshHarness() : folder(true) {
    folder.Write("Theme/Theme_REV/Setting.ini", "");
    folder.Write("Heronwatch.ini", "[Config]\nStaJson=1\n");
    folder.Write("Setting/Stations.ini", "old\t1\t2\t3\t0\nolder\t1\t2\t3\t0\n");
  }
  // Ticks the loop until `done` holds (a minute at most, on a loaded machine).
  bool TickUntil(const std::function<bool()>& done) {
    for (const auto end = std::chrono::steady_clock::now() + 60s;
         std::chrono::steady_clock::now() < end;) {
      dialog.OnTimer();
      if (done()) return true;
      std::this_thread::sleep_for(2ms);
    }
    return false;
  }
  bool Logged(const std::string& text) const {
    return folder.Read("Eventlog/event.log").find(text) != std::string::npos;
  }
  int Stations() const { return display.reference().stations.count; }

  test::TempFolder folder;
  test::FakeClock clock;
  test::FakeWindowHost window;
  test::FakeFrameTicker frameTicker;
  test::FakeTextRenderer text;
  std::unique_ptr<AppContext> context = std::make_unique<AppContext>();
  Display display{{text, context->eventLog, window}};
  GatedHttpClient http;
  ReferenceDataService reference{display.reference(), context->themes, context->WorkingFolder, http,
                                 [this] { return MakeStationRefreshConfig(*context); }};
  test::RecordingPorts others;
  ShellPorts ports{others.fetch, reference, others.assets, others.tray, others.ui, others.notify};
  PlatformServices platform{clock, window, frameTicker, text};
  CTremorlensDlg dialog{*context, display, platform, ports};
};

// Neither the start nor the window waits for the agency's server: the old list is used until
// the refresh has ended, the loop then reads the new one, and a bad answer keeps the file.
// Run under ThreadSanitizer: the refresh thread and the loop meet here.
TEST(StationRefresh, RunsBesideTheLoopWhichTakesTheOutcomeOver) {
  RefreshHarness h;
  h.clock.Set(2026, 12, 8, 1, 0, 0);
  h.dialog.OnInitDialog();  // returns while the download waits for its answer
  ASSERT_TRUE(h.http.WaitForRequests(1));
  EXPECT_EQ(h.Stations(), 2);
  for (int tick = 0; tick <= 40; ++tick)
    h.dialog.OnTimer();
  EXPECT_EQ(h.context->loop.StartupStage, 41);
  EXPECT_EQ(h.Stations(), 2);

  h.http.Answer(200, StationList(3100));
  ASSERT_TRUE(h.TickUntil([&] { return h.Stations() == 3100; }));
  EXPECT_TRUE(h.Logged("観測点リスト … Stations.ini を更新しました (3100 地点)"));
  const std::string replaced = h.folder.Read("Setting/Stations.ini");

  // The daily refresh at 03:13:01 (with r = 41): the loop goes on while it waits.
  h.clock.Set(2026, 12, 8, 3, 13, 0);
  h.dialog.OnTimer();
  h.clock.AdvanceSeconds(1);
  h.dialog.OnTimer();
  ASSERT_TRUE(h.http.WaitForRequests(2));
  for (int second = 0; second < 5; ++second) {
    h.clock.AdvanceSeconds(1);
    h.dialog.OnTimer();
  }
  h.http.Answer(404, StationList(3100));
  ASSERT_TRUE(h.TickUntil([&] { return h.Logged("HTTP 404 の応答です"); }));
  EXPECT_TRUE(
      h.Logged("観測点リスト … 更新しません: HTTP 404 の応答です (Stations.ini はそのまま)"));
  EXPECT_EQ(h.folder.Read("Setting/Stations.ini"), replaced);
  EXPECT_EQ(h.Stations(), 3100);

  // A refresh still waiting at the end is aborted, not waited for.
  h.context->loop.StationRefreshSecond = h.clock.now.tm_min * 60 + h.clock.now.tm_sec + 1;
  h.clock.AdvanceSeconds(1);
  h.dialog.OnTimer();
  ASSERT_TRUE(h.http.WaitForRequests(3));
  h.dialog.OnDestroy();
  EXPECT_TRUE(h.Logged("Log End"));
}

}  // namespace
}  // namespace hw
