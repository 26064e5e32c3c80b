#include "shell/request_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_push_channel.h"
#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::ShellHarness;

TEST(RequestBudget, AtMostSixtyInAnySlidingMinute) {
  RequestBudget budget;
  const std::string a = "https://api.test";
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(budget.Room(a, i * 500), 60 - i);
    budget.Spend(a, i * 500);
  }
  EXPECT_EQ(budget.Room(a, 59999), 0);
  EXPECT_EQ(budget.NextRoomMs(a, 30000), 60000);
  EXPECT_EQ(budget.Room(a, 60000), 1) << "the first request has left the window";
  EXPECT_EQ(budget.Room("https://other.test", 0), 60) << "each address has its own";
  // Redirects counted after the fact take room like any request.
  budget.Spend(a, 60000, 4);
  EXPECT_EQ(budget.Room(a, 60000), 0);
  EXPECT_EQ(budget.NextRoomMs(a, 60000), 62000);
}

TEST(RequestBudget, TheAddressIsSchemeHostAndPort) {
  EXPECT_EQ(RequestAddress("https://api.p2pquake.net/v2/history?codes=551&limit=20"),
            "https://api.p2pquake.net");
  EXPECT_EQ(RequestAddress("http://127.0.0.1:8080/live/v2/history"), "http://127.0.0.1:8080");
  EXPECT_EQ(RequestAddress("http://host?x=1"), "http://host");
  EXPECT_EQ(RequestAddress("https://host"), "https://host");
}

// A main window whose fake worker answers at once as `answer` says, with phantom push
// announcements (two ids in turn) every second and polls every second: the most a client can
// ask. Counts the requests each second makes.
struct BusyService {
  // How the service answers the n-th fetch that may follow `allowed` redirects: the redirects
  // followed, and whether the fetch failed on them (a redirect loop).
  struct Answer {
    int redirects;
    bool failed;
  };

  explicit BusyService(std::function<Answer(int n, int allowed)> answer) {
    h.folder.Write("Heronwatch.ini", "[Flag]\nOntop=0\n[Config]\nReload=1\n[Push]\nReload=1\n");
    h.dialog.AttachPushChannel(channel);
    h.recording.fetch.onStart = [this, answer = std::move(answer)] {
      FetchShared& fetch = h.context->fetch;
      if (fetch.FetchStatus.load() != FetchIdle) return;
      const Answer a = answer(fetches++, h.context->loop.FetchRedirectsAllowed);
      requests[second] += 1 + a.redirects;
      fetch.Detail = FetchDetail{};
      fetch.Detail.redirects = a.redirects;
      fetch.Detail.finalUrl = "https://moved.test/v2/history";
      if (a.failed) {
        fetch.Detail.problem = FetchProblem::kBrokenAnswer;
        fetch.LastNetError = 47;
      }
      fetch.FetchStatus = a.failed ? FetchUrlFailed : FetchUnchanged;
    };
    h.InitWithTheme();
    h.Tick();
  }

  void Run(int seconds) {
    channel.Connect();
    for (second = 1; second <= seconds; ++second) {
      channel.Send(second % 2 ? R"({"_id":"a","code":551})" : R"({"_id":"b","code":551})");
      h.TickSeconds(1);
    }
  }
  int MostInAMinute() const {
    int most = 0;
    for (std::size_t from = 0; from < requests.size(); ++from) {
      int sum = 0;
      for (std::size_t s = from; s < std::min(requests.size(), from + 60); ++s)
        sum += requests[s];
      most = std::max(most, sum);
    }
    return most;
  }
  int Total() const {
    int total = 0;
    for (const int n : requests)
      total += n;
    return total;
  }

  test::FakePushChannel channel;
  ShellHarness h;
  std::vector<int> requests = std::vector<int>(400, 0);
  int second = 0;
  int fetches = 0;
};

// Polls, push announcements and redirects share one budget: no minute ever holds more than 60
// requests, and a service that allows them gets close to 60.
TEST(RequestBudget, PollsPushesAndRedirectsStayWithinSixtyAMinute) {
  struct Case {
    const char* what;
    std::function<BusyService::Answer(int, int)> answer;
    int atLeast;  // requests over the five minutes
  };
  const Case cases[] = {
      {"phantom pushes",
       [](int, int) {
         return BusyService::Answer{0, false};
       },
       295},
      {"every other fetch redirected once",
       [](int n, int allowed) {
         return n % 2 ? BusyService::Answer{std::min(1, allowed), allowed < 1}
                      : BusyService::Answer{0, false};
       },
       290},
      {"three redirects before every answer",
       [](int, int allowed) {
         return BusyService::Answer{std::min(3, allowed), allowed < 3};
       },
       0},
      {"redirect loop",
       [](int, int allowed) {
         return BusyService::Answer{allowed, true};
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BusyService service(c.answer);
    service.Run(300);
    EXPECT_LE(service.MostInAMinute(), RequestBudget::kRequestsPerMinute);
    EXPECT_GE(service.Total(), c.atLeast);
  }
}

// An answer that needed redirects backs the polls off as a failure does, says where the
// redirects led, and a direct answer ends the run.
TEST(RequestBudget, AnswersAfterRedirectsBackOff) {
  int redirects = 3;
  BusyService service([&redirects](int, int allowed) {
    return BusyService::Answer{std::min(redirects, allowed), false};
  });
  std::vector<int> holdOffs;
  for (int i = 0; i < 4; ++i) {
    service.h.context->loop.FetchHoldOff = 0;
    service.h.TickSeconds(1);
    holdOffs.push_back(service.h.context->loop.FetchHoldOff);
  }
  // Reload 1: nothing after the first (the start-up fetch), then 2, 4, 8, 16 s, each counted
  // down once already.
  EXPECT_EQ(holdOffs, (std::vector<int>{1, 3, 7, 15}));
  EXPECT_NE(service.h.Log().find("取得結果 … リダイレクトを 3 回たどりました "
                                 "(https://moved.test/v2/history)"),
            std::string::npos);
  redirects = 0;
  service.h.context->loop.FetchHoldOff = 0;
  service.h.TickSeconds(1);
  EXPECT_EQ(service.h.context->loop.RedirectedFetches, 0);
}

}  // namespace
}  // namespace hw
