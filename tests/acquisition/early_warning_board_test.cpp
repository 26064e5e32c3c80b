#include "acquisition/early_warning_board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/tsunami_board.h"
#include "acquisition/warning_fixtures.h"

namespace hw {
namespace {

using Result = EarlyWarningBoard::Result;

EarlyWarningMessage Warning(std::string id, std::string eventId, int serial, int from = 45,
                            int to = 45) {
  EarlyWarningMessage m;
  m.id = std::move(id);
  m.eventId = std::move(eventId);
  m.serial = serial;
  m.issueTime = u"2022/08/11 00:53:24";
  m.hasEarthquake = true;
  m.originTime = u"2022/08/11 00:53:00";
  m.hypocentreName = u"宗谷地方北部";
  m.latitude = 44.9;
  m.longitude = 142.1;
  m.areas = {{u"北海道道北", u"上川地方北部", from, to, u"11"}};
  return m;
}

EarlyWarningMessage Cancellation(std::string id, std::string eventId, int serial) {
  EarlyWarningMessage m;
  m.id = std::move(id);
  m.eventId = std::move(eventId);
  m.serial = serial;
  m.cancelled = true;
  return m;
}

TEST(EarlyWarningBoard, TheExampleIsShownAsIssued) {
  EarlyWarningBoard board;
  const std::optional<EarlyWarningMessage> example =
      ReadEarlyWarningMessage(test::WarningFixture("early-warning-example.json"));
  ASSERT_TRUE(example);
  const EarlyWarningBoard::Outcome outcome = board.TakeOver(*example, 0, false);
  EXPECT_EQ(outcome.result, Result::kShown);
  ASSERT_TRUE(board.shown());
  const EarlyWarning& w = *board.shown();
  EXPECT_EQ(w.phase, EarlyWarning::Phase::kWarning);
  EXPECT_EQ(w.eventId, "20220811005302");
  EXPECT_EQ(w.regionName, u"宗谷地方北部");
  EXPECT_TRUE(w.HasHypocentre());
  EXPECT_EQ(w.areas, (std::vector<EarlyWarningTarget>{{u"上川地方北部", 45, 45}}));
  EXPECT_EQ(w.forecastFrom, 45);
  const std::vector<std::u16string> log = {
      u"緊急地震速報（警報） … 20220811005302 第1報 発表 2022/08/11 00:53:24: 震源 宗谷地方北部, "
      u"予測最大震度 5弱, 対象 1 地域",
      u"緊急地震速報（警報） … 対象地域 上川地方北部 5弱"};
  EXPECT_EQ(outcome.log, log);
}

// Message after message: what is shown, and what each message did.
TEST(EarlyWarningBoard, OnlyALaterSerialOfTheEarthquakeReplacesIt) {
  struct Step {
    EarlyWarningMessage message;
    Result result;
    int shownSerial;  // 0: nothing shown
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"serials in order",
       {{Warning("a", "E", 1), Result::kShown, 1}, {Warning("b", "E", 2), Result::kUpdated, 2}}},
      {"an out-of-order serial is ignored",
       {{Warning("a", "E", 1), Result::kShown, 1},
        {Warning("c", "E", 3), Result::kUpdated, 3},
        {Warning("b", "E", 2), Result::kIgnored, 3}}},
      {"the same item twice",
       {{Warning("a", "E", 1), Result::kShown, 1}, {Warning("a", "E", 1), Result::kDuplicate, 1}}},
      {"another earthquake replaces it",
       {{Warning("a", "E", 5), Result::kShown, 5}, {Warning("b", "F", 1), Result::kShown, 1}}},
      {"no serial, no event id, no earthquake",
       {{Warning("a", "E", 0), Result::kIgnored, 0},
        {Warning("b", "", 1), Result::kIgnored, 0},
        {[] {
           EarlyWarningMessage m = Warning("c", "E", 1);
           m.hasEarthquake = false;
           return m;
         }(),
         Result::kIgnored, 0}}},
      {"a cancellation of the earthquake shown",
       {{Warning("a", "E", 1), Result::kShown, 1},
        {Cancellation("b", "E", 2), Result::kCancelled, 2},
        {Warning("c", "E", 2), Result::kIgnored, 2}}},
      {"a cancellation of another earthquake",
       {{Warning("a", "E", 1), Result::kShown, 1},
        {Cancellation("b", "F", 2), Result::kIgnored, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EarlyWarningBoard board;
    for (const Step& step : c.steps) {
      const EarlyWarningBoard::Outcome outcome = board.TakeOver(step.message, 0, false);
      EXPECT_EQ(outcome.result, step.result) << step.message.id;
      EXPECT_EQ(board.shown() ? board.shown()->serial : 0, step.shownSerial) << step.message.id;
      if (step.result == Result::kIgnored) {
        EXPECT_EQ(outcome.log.size(), 1u) << step.message.id;
      }
    }
  }
}

TEST(EarlyWarningBoard, EndsAfterItsCancellationOrThreeQuietMinutesOrTheReport) {
  EarlyWarningBoard board;
  board.TakeOver(Warning("a", "E", 1), 0, false);
  board.TakeOver(Cancellation("b", "E", 2), 1000, false);
  EXPECT_EQ(board.shown()->phase, EarlyWarning::Phase::kCancelled);
  EXPECT_TRUE(board.shown()->areas.empty());
  EXPECT_FALSE(board.Tick(1000 + EarlyWarningBoard::kCancelledMs - 1));
  EXPECT_TRUE(board.Tick(1000 + EarlyWarningBoard::kCancelledMs));
  EXPECT_FALSE(board.shown());

  EarlyWarningBoard quiet;
  quiet.TakeOver(Warning("a", "E", 1), 0, false);
  quiet.TakeOver(Warning("b", "E", 2), 60000, false);
  EXPECT_FALSE(quiet.Tick(60000 + EarlyWarningBoard::kQuietMs - 1));
  EXPECT_TRUE(quiet.Tick(60000 + EarlyWarningBoard::kQuietMs));

  // A report of the earthquake (its time within two minutes of the origin, 00:53) ends it; a
  // report of another does not, nor does a distant earthquake's.
  struct Report {
    const char16_t* time;
    int issueType;
    bool ends;
  };
  for (const Report& r : {Report{u"2022/08/11 00:53:00", ScalePrompt, true},
                          Report{u"2022/08/11 00:55:00", DetailScale, true},
                          Report{u"2022/08/11 00:56:00", ScalePrompt, false},
                          Report{u"2022/08/11 00:53:00", Foreign, false}}) {
    EarlyWarningBoard b;
    b.TakeOver(Warning("a", "E", 1), 0, false);
    ReportHeader report;
    report.timeKey = TimeKeyOf(r.time);
    report.issueType = r.issueType;
    EXPECT_EQ(b.EndForReport(report), r.ends) << static_cast<const void*>(r.time);
    EXPECT_EQ(!b.shown(), r.ends);
    // Once the report is shown, a later serial of the earthquake is not shown over it.
    if (r.ends) {
      EXPECT_EQ(b.TakeOver(Warning("b", "E", 2), 0, false).result, Result::kIgnored);
    }
  }
}

TEST(EarlyWarningBoard, TestMessagesAreShownOnlyWhenAskedForAndThenSaySo) {
  EarlyWarningMessage test = Warning("a", "E", 1);
  test.test = true;
  EarlyWarningBoard hidden;
  const EarlyWarningBoard::Outcome outcome = hidden.TakeOver(test, 0, false);
  EXPECT_EQ(outcome.result, Result::kIgnored);
  EXPECT_FALSE(hidden.shown());
  EXPECT_EQ(outcome.log,
            std::vector<std::u16string>{
                u"緊急地震速報（警報・テスト） … テストの配信のため表示しません (E 第1報)"});
  EarlyWarningBoard asked;
  asked.TakeOver(test, 0, true);
  ASSERT_TRUE(asked.shown());
  EXPECT_TRUE(asked.shown()->test);
}

TEST(EarlyWarningBoard, TheForecastMaximumIsTheHighestRangeIssued) {
  EarlyWarningMessage m = Warning("a", "E", 1);
  m.areas = {{u"", u"A", 40, 45, u""},
             {u"", u"B", 45, 45, u""},
             {u"", u"C", 45, 99, u""},
             {u"", u"D", -1, -1, u""},
             {u"", u"E", 45, 50, u""}};
  EarlyWarningBoard board;
  board.TakeOver(m, 0, false);
  EXPECT_EQ(board.shown()->forecastFrom, 45);
  EXPECT_EQ(board.shown()->forecastTo, 99);
  m.id = "b";
  m.serial = 2;
  m.areas = {{u"", u"D", -1, -1, u""}};
  board.TakeOver(m, 0, false);
  EXPECT_EQ(board.shown()->forecastFrom, -1);

  struct Range {
    int from, to;
    const char16_t* text;
  };
  for (const Range& r :
       {Range{45, 45, u"5弱"}, Range{45, 55, u"5弱～6弱"}, Range{50, 99, u"5強程度以上"},
        Range{0, 10, u"0～1"}, Range{70, 70, u"7"}, Range{55, 45, u"6弱"}, Range{-1, 99, u"不明"},
        Range{46, 50, u"不明"}, Range{30, -1, u"3"}}) {
    EXPECT_EQ(ForecastRangeText(r.from, r.to), r.text) << r.from << " " << r.to;
  }
}

TEST(EarlyWarningBoard, AnAssumedHypocentreOrOneWithoutCoordinatesIsNotMarked) {
  EarlyWarning w;
  w.latitude = 44.9;
  w.longitude = 142.1;
  EXPECT_TRUE(w.HasHypocentre());
  w.assumedHypocentre = true;
  EXPECT_FALSE(w.HasHypocentre());
  w.assumedHypocentre = false;
  w.latitude = -200.0;
  EXPECT_FALSE(w.HasHypocentre());
}

}  // namespace
}  // namespace hw
