#include "acquisition/fetch_worker.h"

#include <gtest/gtest.h>

#include "acquisition/report_json.h"
#include "fakes/fake_http_client.h"
#include "fakes/temp_folder.h"
#include "platform/clock.h"

namespace hw {
namespace {

using test::Body;
using test::ReportJson;

FetchConfig LiveConfig() {
  FetchConfig config;
  config.apiBase = "https://live.example";
  config.sandboxBase = "https://sandbox.example";
  config.HisJsonSavePath = u".\\Storage\\history.json";
  return config;
}

struct WorkerHarness {
  FetchShared shared;
  test::FakeHttpClient http;
  FetchWorker worker{shared, http, [] { return LiveConfig(); }};

  FetchStatusValue Run(const FetchConfig& config) {
    worker.RunFetch(config);
    const FetchStatusValue status = shared.FetchStatus.exchange(FetchIdle);
    if (status == FetchDone) shared.LastShownId = shared.NewestId;
    return status;
  }
};

TEST(FetchWorker, RequestGoesToTheLiveOrSandboxBase) {
  FetchConfig config = LiveConfig();
  EXPECT_EQ(FetchWorker::RequestUrl(config), "https://live.example/v2/history?codes=551&limit=20");
  config.SandboxSwitch = 1;
  config.HisJsonNum = 100;
  EXPECT_EQ(FetchWorker::RequestUrl(config),
            "https://sandbox.example/v2/history?codes=551&limit=100");

  WorkerHarness h;
  h.http.body = Body({ReportJson()});
  EXPECT_EQ(h.Run(LiveConfig()), FetchDone);
  EXPECT_EQ(h.http.agents.at(0), "REVERIZA");
  EXPECT_EQ(h.Run(LiveConfig()), FetchUnchanged);
}

TEST(FetchWorker, FailuresLeaveTheStoresAndRecordWhereTheyHappened) {
  WorkerHarness h;
  h.http.body = Body({ReportJson().MaxScale("70")});
  ASSERT_EQ(h.Run(LiveConfig()), FetchDone);

  h.http.result = {HttpStage::kSessionFailed, 2};
  EXPECT_EQ(h.Run(LiveConfig()), FetchOpenFailed);
  EXPECT_EQ(h.shared.NetErrorStage.load(), 1);
  EXPECT_EQ(h.shared.LastNetError.load(), 2);

  h.http.result = {HttpStage::kUrlFailed, 28};
  EXPECT_EQ(h.Run(LiveConfig()), FetchUrlFailed);
  EXPECT_EQ(h.shared.NetErrorStage.load(), 2);
  EXPECT_EQ(h.shared.LastNetError.load(), 28);

  h.http.result = {HttpStage::kOpened, 0, 200};
  h.http.body = "<html>busy</html>";
  EXPECT_EQ(h.Run(LiveConfig()), FetchBadBody);
  EXPECT_EQ(h.worker.store().latest.maxScale, 70);
}

// A body of the size limit or more is refused whole, never read or saved cut; the limit grows
// with the reports asked for.
TEST(FetchWorker, BodiesAtTheLimitAreRefusedAndNeverSaved) {
  struct Case {
    int reports;
    std::size_t length;
    bool demo;
    FetchStatusValue result;
  };
  const std::size_t one = FetchWorker::BodyLimit(1);
  const Case cases[] = {
      {1, one - 1, false, FetchDone},   {1, one, false, FetchBadBody},
      {1, 900000, false, FetchBadBody}, {20, 900000, false, FetchDone},
      {0, one, false, FetchBadBody},    {1, one - 1, true, FetchDone},
      {1, one, true, FetchBadBody},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : {1000u, 777u, 65536u}) {
      test::TempFolder folder;
      std::filesystem::create_directories(folder.path() / "Storage");
      WorkerHarness h;
      FetchConfig config = LiveConfig();
      config.WorkingFolder.SetRoot(folder.U16());
      config.SiJson = 1;
      const std::string first = Body({ReportJson().Id("first").MaxScale("70")});
      h.http.body = first;
      ASSERT_EQ(h.Run(config), FetchDone);

      // A new report padded with blanks after it to the length.
      const std::string report = Body({ReportJson().Id("long")});
      const std::string body =
          report.substr(0, report.size() - 1) + std::string(c.length - report.size(), ' ') + "]";
      h.http.body = body;
      h.http.piece = piece;
      config.HisJsonNum = c.reports;
      if (c.demo) {
        config.Demo = 1;
        folder.Write("Storage/demo.json", body);
      }
      const std::string what =
          std::to_string(c.length) + " for " + std::to_string(c.reports) +
          (c.demo ? " from the demo file" : " in pieces of " + std::to_string(piece));
      EXPECT_EQ(h.Run(config), c.result) << what;
      if (c.result == FetchDone) {
        EXPECT_EQ(folder.Read("Storage/history.json"), body) << what;
      } else {
        EXPECT_EQ(h.shared.Detail.problem, FetchProblem::kTooLarge) << what;
        EXPECT_EQ(folder.Read("Storage/history.json"), first) << what;
        EXPECT_EQ(h.worker.store().latest.maxScale, 70) << what;
      }
    }
  }
}

// Answers that are no whole list fail the fetch whatever they hold, and an empty list
// replaces nothing.
TEST(FetchWorker, AnswersThatAreNoWholeListReplaceNothing) {
  struct Case {
    const char* what;
    HttpResult result;
    std::string body;
    FetchStatusValue status;
    FetchProblem problem;
  };
  const std::string list = Body({ReportJson().Id("new")});
  const auto answer = [](int error, int status, long long announced, int retryAfter) {
    HttpResult result{HttpStage::kOpened, error, status};
    result.announced = announced;
    result.retryAfterSeconds = retryAfter;
    return result;
  };
  const Case cases[] = {
      {"429 with []", answer(0, 429, 2, 60), "[]", FetchBadBody, FetchProblem::kHttpStatus},
      {"503 with a list", answer(0, 503, -1, -1), list, FetchBadBody, FetchProblem::kHttpStatus},
      {"broken off", answer(56, 200, -1, -1), list, FetchUrlFailed, FetchProblem::kBrokenAnswer},
      {"short of its length", answer(0, 200, 100000, -1), list, FetchUrlFailed,
       FetchProblem::kShortAnswer},
      {"not a list", answer(0, 200, -1, -1), "<html>busy</html>", FetchBadBody,
       FetchProblem::kNotAList},
      {"200 with []", answer(0, 200, 2, -1), "[]", FetchNoReports, FetchProblem::kNone},
      {"200 with [ ] on two lines", answer(0, 200, 4, -1), "[\r\n]", FetchNoReports,
       FetchProblem::kNone},
      {"200 with a list of no reports", answer(0, 200, -1, -1), R"([{"code":551,"ver":1}])",
       FetchNoReports, FetchProblem::kUnreadable},
  };
  for (const Case& c : cases) {
    test::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "Storage");
    WorkerHarness h;
    FetchConfig config = LiveConfig();
    config.WorkingFolder.SetRoot(folder.U16());
    config.SiJson = 1;
    h.http.body = Body({ReportJson().Id("shown").MaxScale("70")});
    ASSERT_EQ(h.Run(config), FetchDone);

    h.http.result = c.result;
    h.http.body = c.body;
    EXPECT_EQ(h.Run(config), c.status) << c.what;
    EXPECT_EQ(h.shared.Detail.problem, c.problem) << c.what;
    EXPECT_EQ(h.shared.LastShownId, u"\"shown\"") << c.what;
    EXPECT_EQ(folder.Read("Storage/history.json"), Body({ReportJson().Id("shown").MaxScale("70")}))
        << c.what;
    EXPECT_EQ(h.worker.store().latest.maxScale, 70) << c.what;
  }
}

TEST(FetchWorker, ASecondStartWhileOneIsPendingOnlyCounts) {
  WorkerHarness h;
  h.shared.FetchStatus = FetchRunning;
  h.worker.StartFetchWorker();
  h.worker.StartFetchWorker();
  EXPECT_EQ(h.shared.FetchCount.load(), 2);
  EXPECT_TRUE(h.http.urls.empty());
  h.worker.RunFetch(LiveConfig());  // a worker that finds the word taken does nothing
  EXPECT_TRUE(h.http.urls.empty());

  // A start claims the word before it returns, so a start right after it only counts, even
  // before the first worker's thread has run.
  h.shared.FetchStatus = FetchIdle;
  h.http.body = Body({ReportJson()});
  h.worker.StartFetchWorker();
  EXPECT_NE(h.shared.FetchStatus.load(), FetchIdle);
  h.worker.StartFetchWorker();
  h.worker.Shutdown();
  EXPECT_EQ(h.http.urls.size(), 1u);
  EXPECT_EQ(h.shared.FetchStatus.load(), FetchDone);
}

TEST(FetchWorker, DemoFilesFollowTheClock) {
  FetchConfig config;
  config.WorkingFolder.SetRoot(u"/work");
  config.Demo = 2;
  config.NowTime = MakeLocalTime(2026, 12, 8, 12, 1, 45);
  EXPECT_EQ(FetchWorker::DemoFile(config), u"/work\\Storage\\demo4.json");
  config.NowTime = MakeLocalTime(2026, 12, 8, 12, 0, 29);
  EXPECT_EQ(FetchWorker::DemoFile(config), u"/work\\Storage\\demo1.json");
  config.NowTime = MakeLocalTime(2026, 12, 8, 12, 1, 60);  // a leap second
  EXPECT_EQ(FetchWorker::DemoFile(config), u"/work\\Storage\\demo4.json");
  config.Demo = 1;
  EXPECT_EQ(FetchWorker::DemoFile(config), u"/work\\Storage\\demo.json");
  config.Demo = 3;
  EXPECT_TRUE(FetchWorker::DemoFile(config).empty());
}

TEST(FetchWorker, DemoModeReadsItsFileAndAMissingFileIsABadBody) {
  test::TempFolder folder;
  WorkerHarness h;
  FetchConfig config = LiveConfig();
  config.WorkingFolder.SetRoot(folder.U16());
  config.Demo = 1;
  EXPECT_EQ(h.Run(config), FetchBadBody);
  folder.Write("Storage/demo.json", Body({ReportJson().Id("demo")}));
  EXPECT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(h.shared.NewestId, u"\"demo\"");
  config.Demo = 5;
  EXPECT_EQ(h.Run(config), FetchBadBody);
  EXPECT_TRUE(h.http.urls.empty());
}

TEST(FetchWorker, HistoryFileHoldsTheNewBodyOnly) {
  test::TempFolder folder;
  WorkerHarness h;
  FetchConfig config = LiveConfig();
  config.SiJson = 1;
  config.WorkingFolder.SetRoot(folder.U16());
  std::filesystem::create_directories(folder.path() / "Storage");
  h.http.body = Body({ReportJson().Id("one")});
  ASSERT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(folder.Read("Storage/history.json"), h.http.body);

  // An unchanged report writes nothing.
  std::filesystem::remove(folder.path() / "Storage/history.json");
  EXPECT_EQ(h.Run(config), FetchUnchanged);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Storage/history.json"));

  // An absolute path is used as it is; a path that cannot be written fails nothing.
  config.HisJsonSavePath = folder.U16() + u"/elsewhere.json";
  h.http.body = Body({ReportJson().Id("two")});
  ASSERT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(folder.Read("elsewhere.json"), h.http.body);
  config.HisJsonSavePath = folder.U16() + u"/missing/folder.json";
  h.http.body = Body({ReportJson().Id("three")});
  EXPECT_EQ(h.Run(config), FetchDone);

  FetchConfig relative;
  EXPECT_EQ(FetchWorker::HistoryFilePath(relative), u"");
  relative.WorkingFolder.SetRoot(u"/work");
  relative.HisJsonSavePath = u".\\Storage\\history.json";
  EXPECT_EQ(FetchWorker::HistoryFilePath(relative), u"/work\\.\\Storage\\history.json");
}

// Every live list that replaces the picture is kept whole for the next start; demo and
// sandbox lists, unchanged lists and failed fetches leave the kept copy as it was.
TEST(FetchWorker, TheLastLiveListIsKeptWhole) {
  test::TempFolder folder;
  WorkerHarness h;
  FetchConfig config = LiveConfig();
  config.WorkingFolder.SetRoot(folder.U16());
  std::filesystem::create_directories(folder.path() / "Storage");
  const auto kept = [&] { return folder.Read("Storage/last.json"); };

  h.http.body = Body({ReportJson().Id("one")});
  ASSERT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(h.shared.Detail.source, ReportSource::kLive);
  const std::string first = h.http.body;
  EXPECT_EQ(kept(), first);

  h.http.body = Body({ReportJson().Id("one"), ReportJson().Id("older")});
  EXPECT_EQ(h.Run(config), FetchUnchanged);
  h.http.result.status = 503;
  h.http.body = Body({ReportJson().Id("two")});
  EXPECT_EQ(h.Run(config), FetchBadBody);
  EXPECT_EQ(kept(), first);

  h.http.result.status = 200;
  config.SandboxSwitch = 1;
  ASSERT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(h.shared.Detail.source, ReportSource::kSandbox);
  config.SandboxSwitch = 0;
  config.Demo = 1;
  folder.Write("Storage/demo.json", Body({ReportJson().Id("demo")}));
  ASSERT_EQ(h.Run(config), FetchDone);
  EXPECT_EQ(h.shared.Detail.source, ReportSource::kDemo);
  EXPECT_EQ(kept(), first);
}

}  // namespace
}  // namespace hw
