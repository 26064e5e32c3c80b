#include "acquisition/push_doorbell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_push_channel.h"
#include "platform/push_message.h"

namespace hw {
namespace {

using test::FakePushChannel;

constexpr const char* kUrl = "ws://push.test/v2/ws";

struct Bell {
  explicit Bell(std::string shown = "") : shown(std::move(shown)) {}

  FakePushChannel channel;
  std::string shown;
  int rings = 0;
  int reads = 0;
  std::vector<std::u16string> log;
  std::vector<std::pair<int, std::string>> others;
  PushDoorbell doorbell{
      channel,
      {[this] { ++rings; }, [this] { ++reads; }, [this] { return shown; },
       [this](std::u16string_view line) { log.emplace_back(line); },
       [this](int code, std::string_view text) { others.emplace_back(code, std::string(text)); }}};
  std::int64_t now = 0;

  void Tick(std::int64_t ms, const std::string& url = kUrl) {
    now += ms;
    doorbell.Tick(now, url);
  }
};

TEST(PushDoorbell, RingsOnceForEachNewlyAnnouncedReport) {
  struct Case {
    const char* name;
    std::string shown;
    std::vector<std::string> messages;
    int rings;
  };
  // The message object and n arrays inside it, one in the other.
  const auto nested = [](int n) {
    return R"({"_id":"b","code":551,"points":)" + std::string(static_cast<std::size_t>(n), '[') +
           std::string(static_cast<std::size_t>(n), ']') + "}";
  };
  const std::string big = nested(101);
  const Case cases[] = {
      {"new id", "", {R"({"_id":"a1","code":551,"earthquake":{"maxScale":30}})"}, 1},
      {"same id twice", "", {R"({"_id":"a1","code":551})", R"({"code":551,"_id":"a1"})"}, 1},
      {"two new ids at once: one fetch reads both",
       "",
       {R"({"_id":"a1","code":551})", R"({"_id":"a2","code":551})"},
       1},
      {"id field when no _id", "", {R"({"code":551,"id":"a1"})"}, 1},
      {"id field when _id is no string", "", {R"({"_id":7,"code":551,"id":"a1"})"}, 1},
      {"pretty-printed with an escaped id, then compact",
       "",
       {"{\n  \"_id\" : \"a\\u0031\",\n  \"code\" : 551.0\n}", R"({"_id":"a1","code":551})"},
       1},
      {"31 arrays deep", "", {nested(31)}, 1},
      {"already on the window", "a1", {R"({"_id":"a1","code":551})"}, 0},
      {"other codes", "", {R"({"_id":"a1","code":554})", R"({"_id":"a2","code":9611})"}, 0},
      {"nested code", "", {R"({"_id":"a1","code":555,"x":{"code":551}})"}, 0},
      {"no id", "", {R"({"code":551,"time":"2024/01/01 16:10:00"})"}, 0},
      {"broken JSON",
       "",
       {R"({"_id":"a1","code":551)", R"({"_id":"a1","code":551}})", "garbage", "", "\xff\xfe",
        R"({"_id":"a1","code":"551"})", R"([{"_id":"a1","code":551}])", nested(32), big,
        "{\"_id\":\"a1\",\"code\":551,\"x\":\"\xff\"}"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bell bell(c.shown);
    bell.Tick(0);
    bell.channel.Connect();
    for (const std::string& message : c.messages)
      bell.channel.Send(message);
    bell.Tick(PushDoorbell::kFirstRingMs);
    EXPECT_EQ(bell.rings, c.rings);
  }
}

// Tsunami forecasts and early warnings go on as they came, whatever their id; announcements
// and texts without a code do not.
TEST(PushDoorbell, HandsEveryOtherCodedMessageOn) {
  Bell bell;
  bell.Tick(0);
  bell.channel.Connect();
  const std::string tsunami = R"({"code":552,"id":"t1","cancelled":false})";
  const std::string warning = R"({"code":556,"issue":{"eventId":"e"}})";
  for (const std::string& message :
       {tsunami, std::string(R"({"_id":"a1","code":551})"), warning, warning,
        std::string(R"({"id":"x"})"), std::string("garbage")}) {
    bell.channel.Send(message);
  }
  const std::vector<std::pair<int, std::string>> expected = {
      {552, tsunami}, {556, warning}, {556, warning}};
  EXPECT_EQ(bell.others, expected);  // at once, unlike the ring
  EXPECT_EQ(bell.rings, 0);
  bell.Tick(PushDoorbell::kFirstRingMs);
  EXPECT_EQ(bell.rings, 1);
}

TEST(PushDoorbell, RingsAgainWhileTheHistoryHasNotCaughtUp) {
  Bell bell;
  bell.Tick(0);
  bell.channel.Connect();
  bell.rings = 0;  // the connection's own reading of the list
  bell.channel.Send(R"({"_id":"a1","code":551})");
  // The list trails the push: the first ring waits for it.
  bell.Tick(PushDoorbell::kFirstRingMs - 1);
  EXPECT_EQ(bell.rings, 0);
  bell.Tick(1);
  ASSERT_EQ(bell.rings, 1);
  bell.Tick(PushDoorbell::kRingAgainMs - 1);
  EXPECT_EQ(bell.rings, 1);
  for (int i = 0; i < 10; ++i)
    bell.Tick(1000);
  EXPECT_EQ(bell.rings, 1 + PushDoorbell::kExtraRings);

  // Once the report is shown the bell is quiet.
  Bell shown;
  shown.Tick(0);
  shown.channel.Send(R"({"_id":"a1","code":551})");
  shown.Tick(PushDoorbell::kFirstRingMs);
  shown.shown = "a1";
  for (int i = 0; i < 10; ++i)
    shown.Tick(1000);
  EXPECT_EQ(shown.rings, 1);
}

TEST(PushDoorbell, ReconnectsWithADoublingWaitThatASettledConnectionResets) {
  Bell bell;
  bell.Tick(0);
  ASSERT_EQ(bell.channel.opens, std::vector<std::string>{kUrl});
  std::vector<std::int64_t> waits;
  for (int attempt = 0; attempt < 11; ++attempt) {
    bell.channel.Drop();
    waits.push_back(bell.doorbell.NextAttemptMs() - bell.now);
    bell.Tick(waits.back() - 1);
    EXPECT_EQ(bell.channel.opens.size(), static_cast<std::size_t>(attempt + 1));
    bell.Tick(1);
    EXPECT_EQ(bell.channel.opens.size(), static_cast<std::size_t>(attempt + 2));
  }
  EXPECT_EQ(waits, (std::vector<std::int64_t>{1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000,
                                              256000, 300000, 300000}));
  // A run of failures is one line in the log.
  EXPECT_EQ(bell.log.size(), 1u);

  // A short connection keeps the doubling; one that lived a minute starts it afresh.
  bell.channel.Connect();
  EXPECT_TRUE(bell.doorbell.Connected());
  bell.Tick(59000);
  bell.channel.Drop("gone");
  EXPECT_FALSE(bell.doorbell.Connected());
  EXPECT_EQ(bell.doorbell.NextAttemptMs() - bell.now, 300000);
  bell.Tick(300000);
  bell.channel.Connect();
  bell.Tick(60000);
  bell.channel.Drop("gone");
  EXPECT_EQ(bell.doorbell.NextAttemptMs() - bell.now, 1000);
  EXPECT_EQ(bell.log.size(), 5u);  // connected, dropped, connected, dropped
  EXPECT_NE(bell.log.back().find(u"切断されました"), std::u16string::npos);
}

TEST(PushDoorbell, FollowsTheAddressAndOpensNothingWithoutOne) {
  Bell bell;
  bell.Tick(0, "");
  bell.Tick(5000, "");
  EXPECT_TRUE(bell.channel.opens.empty());

  bell.Tick(1000, "ws://a");
  bell.channel.Drop();
  bell.Tick(10, "ws://b");  // a new source is tried at once, not after the wait
  EXPECT_EQ(bell.channel.opens, (std::vector<std::string>{"ws://a", "ws://b"}));
  bell.channel.Connect();
  bell.Tick(10, "");
  EXPECT_EQ(bell.channel.closes, 1);
  EXPECT_FALSE(bell.doorbell.Connected());
  bell.Tick(600000, "");
  EXPECT_EQ(bell.channel.opens.size(), 2u);
}

// The service does not send again what it pushed while the program was away: every
// connection, the first and each one after a gap, reads the list once.
TEST(PushDoorbell, EveryConnectionReadsTheListOnce) {
  Bell bell;
  bell.Tick(0);
  EXPECT_EQ(bell.reads, 0);
  bell.channel.Connect();
  EXPECT_EQ(bell.reads, 1);
  bell.channel.Drop("gone");
  bell.Tick(1000);
  ASSERT_EQ(bell.channel.opens.size(), 2u);
  bell.channel.Connect();
  EXPECT_EQ(bell.reads, 2);
  EXPECT_EQ(bell.rings, 0);
}

// A connection is trusted only while it shows life: a handshake that never ends and a socket
// whose pong does not come are given up, logged, and tried again after the usual wait.
TEST(PushDoorbell, AHandshakeThatNeverEndsAndASilentSocketAreGivenUp) {
  Bell dead;
  dead.Tick(0);
  dead.Tick(PushDoorbell::kHandshakeMs - 1000);
  EXPECT_EQ(dead.channel.closes, 0);
  dead.Tick(1000);
  EXPECT_EQ(dead.channel.closes, 1);
  ASSERT_EQ(dead.log.size(), 1u);
  EXPECT_EQ(dead.log[0],
            u"プッシュ通知 … 接続できません (10 秒以内にハンドシェイクが終わりません; 1 "
            u"秒後に再接続 (その間は定期取得))");
  dead.Tick(1000);
  EXPECT_EQ(dead.channel.opens.size(), 2u);

  Bell silent;
  silent.Tick(0);
  silent.channel.Connect();
  // Answered pings keep a quiet connection: one every kPingEveryMs.
  for (int second = 0; second < 120; ++second)
    silent.Tick(1000);
  EXPECT_TRUE(silent.doorbell.Connected());
  EXPECT_EQ(silent.channel.pings, 120000 / PushDoorbell::kPingEveryMs);
  silent.channel.answersPings = false;
  int seconds = 0;
  while (silent.doorbell.Connected() && seconds < 60) {
    silent.Tick(1000);
    ++seconds;
  }
  EXPECT_LE(seconds, (PushDoorbell::kPingEveryMs + PushDoorbell::kPongWaitMs) / 1000);
  EXPECT_EQ(silent.channel.closes, 1);
  EXPECT_EQ(silent.log.back(),
            u"プッシュ通知 … 切断されました (5 秒以内に ping への pong が返りません; 1 "
            u"秒後に再接続 (その間は定期取得))");
  silent.Tick(1000);
  EXPECT_EQ(silent.channel.opens.size(), 2u);
}

}  // namespace
}  // namespace hw
