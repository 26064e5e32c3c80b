#include "shell/warning_feed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/warning_fixtures.h"
#include "fakes/fake_push_channel.h"
#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::FakePushChannel;
using test::ShellHarness;

// A tsunami list read that answers at once with an empty list.
struct FakeTsunamiFetch final : TsunamiFetchService {
  bool Start(const std::string& url, int) override {
    if (running) return false;
    urls.push_back(url);
    running = true;
    return true;
  }
  std::optional<TsunamiFetchResult> TakeResult() override {
    if (!running) return std::nullopt;
    running = false;
    TsunamiFetchResult result;
    result.answered = true;
    return result;
  }
  void Shutdown() override {}
  std::vector<std::string> urls;
  bool running = false;
};

// A started main window listening to a fake push channel and reading the tsunami list
// through a fake.
struct WarningsStarted {
  WarningsStarted() {
    ::unsetenv("HERONWATCH_PUSH_URL");
    ::unsetenv("HERONWATCH_API_BASE");
    h.folder.Write("Heronwatch.ini", "[Flag]\nOntop=0\n[Config]\nReload=2\n");
    h.dialog.AttachPushChannel(channel);
    h.dialog.AttachTsunamiFetch(tsunami);
    h.InitWithTheme();
    for (int tick = 0; tick <= 40; ++tick)
      h.Tick();
  }
  int ListReadsOver(int seconds) {
    const std::size_t before = tsunami.urls.size();
    h.TickSeconds(seconds);
    return static_cast<int>(tsunami.urls.size() - before);
  }

  FakePushChannel channel;
  FakeTsunamiFetch tsunami;
  ShellHarness h;
};

TEST(WarningFeed, TheTsunamiListIsReadAtStartOnConnectingAfterAPushAndEveryMinuteWhileDown) {
  WarningsStarted s;
  s.h.TickSeconds(1);
  ASSERT_EQ(s.tsunami.urls.size(), 1u);
  EXPECT_EQ(s.tsunami.urls[0], "https://api.p2pquake.net/v2/history?codes=552&limit=3");
  // The socket is down: once a minute.
  EXPECT_EQ(s.ListReadsOver(125), 2);

  s.channel.Connect();
  EXPECT_EQ(s.ListReadsOver(1), 1);
  EXPECT_EQ(s.ListReadsOver(180), 0);  // connected: the push channel tells
  s.channel.Send(test::WarningFixture("tsunami-example.json"));
  EXPECT_EQ(s.ListReadsOver(3), 1);
}

// An early warning reaches the display and the tooltip at once, a repeated push of the same
// item is logged and changes nothing, and only a serial that raises the forecast notifies again.
TEST(WarningFeed, APushedEarlyWarningIsShownOnceAndNotifiedAgainOnlyWhenRaised) {
  WarningsStarted s;
  s.channel.Connect();
  const std::string first = test::WarningFixture("early-warning-example.json");
  s.channel.Send(first);
  ASSERT_TRUE(s.h.display.earlyWarning().has_value());
  EXPECT_EQ(s.h.display.earlyWarning()->serial, 1);
  ASSERT_EQ(s.h.recording.notify.shown.size(), 1u);
  EXPECT_EQ(s.h.recording.notify.shown[0].urgency, NotificationUrgency::kCritical);
  EXPECT_TRUE(s.h.recording.notify.shown[0].soundFile.empty());  // sounds are off by default
  EXPECT_NE(s.h.recording.tray.toolTip.find(u"緊急地震速報（警報）"), std::u16string::npos);

  s.channel.Send(first);
  EXPECT_EQ(s.h.recording.notify.shown.size(), 1u);
  EXPECT_NE(s.h.Log().find("重複した配信を無視しました"), std::string::npos);

  // A later message of the same earthquake with the forecast range `from`–`to`.
  const auto serial = [&](const std::string& id, int number, const std::string& from,
                          const std::string& to) {
    std::string text = first;
    text.replace(text.find("5ee1ad7e02add676dd5a67a0"), 24, id);
    text.replace(text.find("\"serial\":\"1\""), 12,
                 "\"serial\":\"" + std::to_string(number) + "\"");
    text.replace(text.find("\"scaleFrom\":45.0"), 16, "\"scaleFrom\":" + from);
    text.replace(text.find("\"scaleTo\":45.0"), 14, "\"scaleTo\":" + to);
    return text;
  };
  s.channel.Send(serial("second", 2, "45.0", "50.0"));
  EXPECT_EQ(s.h.display.earlyWarning()->serial, 2);
  EXPECT_EQ(s.h.recording.notify.shown.size(), 1u);  // the forecast's lower bound stayed 5弱
  s.channel.Send(serial("third", 3, "55.0", "60.0"));
  EXPECT_EQ(s.h.display.earlyWarning()->serial, 3);
  ASSERT_EQ(s.h.recording.notify.shown.size(), 2u);  // raised to 6弱
  // An older serial that arrives late is left out.
  s.channel.Send(serial("late", 2, "45.0", "45.0"));
  EXPECT_EQ(s.h.display.earlyWarning()->serial, 3);
  EXPECT_EQ(s.h.recording.notify.shown.size(), 2u);

  // Three quiet minutes end it.
  s.h.TickSeconds(181);
  EXPECT_FALSE(s.h.display.earlyWarning().has_value());
}

}  // namespace
}  // namespace hw
