#include "shell/push_link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/fake_push_channel.h"
#include "shell/command_menu.h"
#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::FakePushChannel;
using test::ShellHarness;

// A started main window that listens to a fake push channel. The channel outlives the window.
struct PushStarted {
  explicit PushStarted(const std::string& ini, int demo = 0) {
    ::unsetenv("HERONWATCH_PUSH_URL");
    ::unsetenv("HERONWATCH_SANDBOX_PUSH_URL");
    h.folder.Write("Heronwatch.ini", "[Flag]\nOntop=0\nDemo=" + std::to_string(demo) + "\n" + ini);
    h.dialog.AttachPushChannel(channel);
    h.InitWithTheme();
    for (int tick = 0; tick <= 40; ++tick)
      h.Tick();
  }
  int FetchesOver(int seconds) {
    const int before = h.recording.fetch.starts;
    h.TickSeconds(seconds);
    return h.recording.fetch.starts - before;
  }

  FakePushChannel channel;
  ShellHarness h;
};

TEST(PushLink, AnnouncedReportIsFetchedSoonAfterItAndPollingSlowsWhileConnected) {
  PushStarted s("[Config]\nReload=2\n[Push]\nReload=30\n");
  s.h.TickSeconds(1);
  ASSERT_EQ(s.channel.opens, std::vector<std::string>{"wss://api.p2pquake.net/v2/ws"});
  EXPECT_EQ(s.FetchesOver(8), 4);  // within the handshake's deadline

  // The connection reads the list at once, then polls every 30 s.
  const int before = s.h.recording.fetch.starts;
  s.channel.Connect();
  EXPECT_EQ(s.h.recording.fetch.starts, before + 1);
  EXPECT_EQ(s.FetchesOver(60), 2);
  // The fetch comes on the frame after the list caught up, not at the next whole second.
  const int beforePush = s.h.recording.fetch.starts;
  s.channel.Send(R"({"_id":"6600aa","code":551})");
  s.h.clock.monotonicMs += PushDoorbell::kFirstRingMs - 20;
  s.h.Tick();
  EXPECT_EQ(s.h.recording.fetch.starts, beforePush);
  s.h.clock.monotonicMs += 20;
  s.h.Tick();
  EXPECT_EQ(s.h.recording.fetch.starts, beforePush + 1);
  EXPECT_EQ(s.FetchesOver(1), 0);
  // The fetch found the announced report: the bell stays quiet and the poll keeps its pace.
  s.h.context->fetch.LastShownId = u"\"6600aa\"";
  s.channel.Send(R"({"_id":"6600aa","code":551})");
  EXPECT_EQ(s.FetchesOver(28), 0);
  EXPECT_EQ(s.FetchesOver(1), 1);  // 30 s after the push's fetch

  s.channel.Drop("server went away");
  EXPECT_EQ(s.FetchesOver(10), 5);
  const std::string log = s.h.Log();
  EXPECT_NE(log.find("プッシュ通知 … 接続しました (wss://api.p2pquake.net/v2/ws)"),
            std::string::npos);
  EXPECT_NE(log.find("プッシュ通知 … 切断されました (server went away; 1 秒後に再接続"),
            std::string::npos);
}

// A period of Reload=4 that does not divide the push period: the data source changes while the
// socket is connected, the change closes it, and the next second must still fetch from the new
// source.
TEST(PushLink, ADataSourceChangeFetchesAtTheNextSecondWhileConnected) {
  for (const int command : {kCommandToggleSandbox, kCommandToggleDemoFile}) {
    SCOPED_TRACE(command);
    PushStarted s("[Config]\nReload=4\n[Push]\nReload=30\n");
    s.h.TickSeconds(1);
    s.channel.Connect();
    s.h.TickSeconds(7);
    s.h.dialog.OnCommand(command);
    EXPECT_EQ(s.FetchesOver(1), 1);
    // The source's new channel connects at once; the period counts from the fetch.
    s.channel.Connect();
    s.h.dialog.OnCommand(command);
    EXPECT_EQ(s.FetchesOver(1), 1);
  }
}

TEST(PushLink, TheDataSourceChoosesTheAddress) {
  struct Case {
    const char* name;
    std::string ini;
    bool sandbox;
    int demo;
    std::vector<std::string> opens;
  };
  const Case cases[] = {
      {"live", "", false, 0, {"wss://api.p2pquake.net/v2/ws"}},
      {"sandbox", "", true, 0, {"wss://api-realtime-sandbox.p2pquake.net/v2/ws"}},
      {"own address", "[Push]\nUrl=ws://127.0.0.1:8/ws\n", false, 0, {"ws://127.0.0.1:8/ws"}},
      {"demo file", "", false, 1, {}},
      {"rotating demo files", "", false, 2, {}},
      {"switched off", "[Push]\nEnabled=0\n", false, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PushStarted s(c.ini, c.demo);
    if (c.sandbox) s.h.dialog.OnCommand(kCommandToggleSandbox);
    s.h.TickSeconds(3);
    EXPECT_EQ(s.channel.opens, c.opens);
  }

  // The environment overrides the settings file, and a demo started later closes the socket.
  PushStarted s("[Push]\nUrl=ws://127.0.0.1:8/ws\n");
  ::setenv("HERONWATCH_PUSH_URL", "ws://127.0.0.1:9/env", 1);
  s.h.TickSeconds(1);
  s.channel.Connect();
  s.h.dialog.OnCommand(kCommandToggleDemoFile);
  s.h.TickSeconds(1);
  ::unsetenv("HERONWATCH_PUSH_URL");
  EXPECT_EQ(s.channel.opens, std::vector<std::string>{"ws://127.0.0.1:9/env"});
  EXPECT_EQ(s.channel.closes, 1);
}

TEST(PushLink, ThePushPeriodIsNeverShorterThanReload) {
  AppSettings settings;
  settings.Reload = 2;
  settings.PushReload = 30;
  EXPECT_EQ(PollReload(settings, true), 30);
  EXPECT_EQ(PollReload(settings, false), 2);
  settings.Reload = 60;
  EXPECT_EQ(PollReload(settings, true), 60);
}

}  // namespace
}  // namespace hw
