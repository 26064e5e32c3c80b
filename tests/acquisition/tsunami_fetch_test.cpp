#include "acquisition/tsunami_fetch.h"

#include <gtest/gtest.h>

#include <string>

#include "acquisition/warning_fixtures.h"

namespace hw {
namespace {

BoundedBody Answer(int status, std::string body) {
  BoundedBody download;
  download.result.stage = HttpStage::kOpened;
  download.result.status = status;
  download.result.announced = static_cast<long long>(body.size());
  download.received = body.size();
  download.body = std::move(body);
  return download;
}

// Only a whole 2xx answer that is a JSON array is a list; anything else keeps what is shown
// and says why.
TEST(TsunamiFetch, OnlyAWholeSuccessfulArrayIsAList) {
  const std::string example = "[" + test::WarningFixture("tsunami-example.json") + "]";
  const TsunamiFetchResult list = TsunamiFetchWorker::ReadAnswer(Answer(200, example));
  EXPECT_TRUE(list.answered);
  ASSERT_EQ(list.messages.size(), 1u);
  EXPECT_EQ(list.messages[0].regions.size(), 2u);
  EXPECT_TRUE(TsunamiFetchWorker::ReadAnswer(Answer(200, "[]")).answered);

  BoundedBody cut = Answer(200, example);
  cut.result.announced += 10;
  BoundedBody large = Answer(200, example);
  large.limitReached = true;
  BoundedBody refused;
  refused.result.errorText = "refused";
  struct Case {
    BoundedBody download;
    std::u16string problem;
  };
  const Case cases[] = {
      {Answer(503, example), u"HTTP 503"},
      {Answer(200, "{}"), u"応答が JSON の配列ではありません"},
      {cut, u"応答が途中で切れました ()"},
      {large, u"応答が大きすぎます"},
      {refused, u"接続できません (refused)"},
  };
  for (const Case& c : cases) {
    const TsunamiFetchResult result = TsunamiFetchWorker::ReadAnswer(c.download);
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(result.problem, c.problem);
  }
  EXPECT_EQ(TsunamiFetchWorker::RequestUrl("http://h/live"),
            "http://h/live/v2/history?codes=552&limit=3");
}

}  // namespace
}  // namespace hw
