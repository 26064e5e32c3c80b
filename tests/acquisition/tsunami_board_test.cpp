#include "acquisition/tsunami_board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/warning_fixtures.h"

namespace hw {
namespace {

using Phase = TsunamiState::Phase;
using Result = TsunamiBoard::Result;

TsunamiRegion Region(std::u16string name, TsunamiGrade grade) {
  TsunamiRegion region;
  region.name = std::move(name);
  region.grade = grade;
  return region;
}

TsunamiMessage Message(std::string id, std::u16string issued, std::vector<TsunamiRegion> regions,
                       bool cancelled = false) {
  TsunamiMessage message;
  message.id = std::move(id);
  message.issueTime = std::move(issued);
  message.regions = std::move(regions);
  message.cancelled = cancelled;
  return message;
}

std::vector<std::u16string> Names(const TsunamiState& state) {
  std::vector<std::u16string> names;
  for (const TsunamiRegionLine& region : state.regions)
    names.push_back(region.name);
  return names;
}

TEST(TsunamiBoard, TheExampleShowsItsRegionsAsIssued) {
  TsunamiBoard board;
  const std::optional<TsunamiMessage> example =
      ReadTsunamiMessage(test::WarningFixture("tsunami-example.json"));
  ASSERT_TRUE(example);
  const TsunamiBoard::Outcome outcome =
      board.TakeOver(*example, 0, TimeKeyOf(u"2019/06/18 22:30:00"));
  EXPECT_EQ(outcome.result, Result::kShown);
  const TsunamiState& s = board.state();
  EXPECT_EQ(s.phase, Phase::kInForce);
  EXPECT_EQ(s.issueTime, u"2019/06/18 22:24:00");
  ASSERT_EQ(s.regions.size(), 2u);
  EXPECT_EQ(s.regions[0],
            (TsunamiRegionLine{u"福島県", TsunamiGrade::kWarning, u"津波到達中と推測", u"３ｍ"}));
  EXPECT_EQ(s.regions[1], (TsunamiRegionLine{u"青森県太平洋沿岸", TsunamiGrade::kWatch,
                                             u"22:40 到達予想", u"１ｍ"}));
  EXPECT_EQ(s.Highest(), TsunamiGrade::kWarning);
  const std::vector<std::u16string> log = {
      u"津波予報 … 発表 2019/06/18 22:24:00 (大津波警報 0, 津波警報 1, 津波注意報 1 区域)",
      u"津波予報 … 津波警報 福島県 ３ｍ 津波到達中と推測",
      u"津波予報 … 津波注意報 青森県太平洋沿岸 １ｍ 22:40 到達予想"};
  EXPECT_EQ(outcome.log, log);
}

// The regions come by grade, strongest first, each grade in the message's order; a region of
// a grade the program does not know is left out and logged.
TEST(TsunamiBoard, GroupsTheRegionsByGrade) {
  TsunamiRegion immediate = Region(u"E", TsunamiGrade::kWarning);
  immediate.immediate = true;
  TsunamiRegion odd = Region(u"U", TsunamiGrade::kUnknown);
  odd.gradeName = u"Unknown";
  TsunamiBoard board;
  const TsunamiBoard::Outcome outcome = board.TakeOver(
      Message("a", u"2024/01/01 16:22:00",
              {Region(u"W1", TsunamiGrade::kWatch), immediate, odd,
               Region(u"M", TsunamiGrade::kMajorWarning), Region(u"W2", TsunamiGrade::kWatch)}),
      0, 0);
  EXPECT_EQ(Names(board.state()), (std::vector<std::u16string>{u"M", u"E", u"W1", u"W2"}));
  EXPECT_EQ(board.state().regions[1].firstWave, u"ただちに津波来襲と予測");
  EXPECT_EQ(board.state().Count(TsunamiGrade::kWatch), 2);
  EXPECT_NE(std::find(outcome.log.begin(), outcome.log.end(),
                      u"津波予報 … 種類のわからない区域を表示しません (Unknown): U"),
            outcome.log.end());
}

// The rules of what is in force, message after message (times a minute apart at 16:2x).
TEST(TsunamiBoard, KeepsTheNewestForecastUntilItIsLifted) {
  const TsunamiRegion watch = Region(u"A", TsunamiGrade::kWatch);
  const TsunamiRegion warning = Region(u"B", TsunamiGrade::kWarning);
  const TsunamiRegion unknown = Region(u"C", TsunamiGrade::kUnknown);
  struct Step {
    TsunamiMessage message;
    std::int64_t atMs;
    Result result;
    Phase phase;
    std::vector<std::u16string> names;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"a newer forecast replaces the one in force",
       {{Message("1", u"2024/01/01 16:21:00", {watch}), 0, Result::kShown, Phase::kInForce, {u"A"}},
        {Message("2", u"2024/01/01 16:22:00", {warning}),
         0,
         Result::kShown,
         Phase::kInForce,
         {u"B"}}}},
      {"an older one, a duplicate id and the same message again change nothing",
       {{Message("2", u"2024/01/01 16:22:00", {warning}),
         0,
         Result::kShown,
         Phase::kInForce,
         {u"B"}},
        {Message("1", u"2024/01/01 16:21:00", {watch}),
         0,
         Result::kIgnored,
         Phase::kInForce,
         {u"B"}},
        {Message("2", u"2024/01/01 16:23:00", {watch}),
         0,
         Result::kDuplicate,
         Phase::kInForce,
         {u"B"}},
        {Message("", u"2024/01/01 16:24:00", {watch}), 0, Result::kShown, Phase::kInForce, {u"A"}},
        {Message("", u"2024/01/01 16:24:00", {watch}),
         0,
         Result::kDuplicate,
         Phase::kInForce,
         {u"A"}}}},
      {"a cancellation is shown as lifted for a minute",
       {{Message("1", u"2024/01/01 16:21:00", {watch}), 0, Result::kShown, Phase::kInForce, {u"A"}},
        {Message("2", u"2024/01/01 16:50:00", {}, true), 1000, Result::kLifted, Phase::kLifted, {}},
        {Message("3", u"2024/01/01 16:20:00", {watch}),
         2000,
         Result::kIgnored,
         Phase::kLifted,
         {}}}},
      {"a cancellation with nothing in force shows nothing",
       {{Message("1", u"2024/01/01 16:50:00", {}, true), 0, Result::kUnchanged, Phase::kNone, {}}}},
      {"a newer message that lists none of the grades ends what was in force",
       {{Message("1", u"2024/01/01 16:21:00", {watch}), 0, Result::kShown, Phase::kInForce, {u"A"}},
        {Message("2", u"2024/01/01 16:22:00", {unknown}), 0, Result::kEnded, Phase::kNone, {}}}},
      {"a message with no region, or no issue time, is bad input",
       {{Message("1", u"2024/01/01 16:21:00", {watch}), 0, Result::kShown, Phase::kInForce, {u"A"}},
        {Message("2", u"2024/01/01 16:22:00", {}), 0, Result::kIgnored, Phase::kInForce, {u"A"}},
        {Message("3", u"", {warning}), 0, Result::kIgnored, Phase::kInForce, {u"A"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsunamiBoard board;
    for (const Step& step : c.steps) {
      const TsunamiBoard::Outcome outcome = board.TakeOver(step.message, step.atMs, 0);
      EXPECT_EQ(outcome.result, step.result) << step.message.id;
      EXPECT_EQ(board.state().phase, step.phase) << step.message.id;
      EXPECT_EQ(Names(board.state()), step.names) << step.message.id;
      if (step.result == Result::kIgnored) {
        EXPECT_EQ(outcome.log.size(), 1u);
      }
    }
  }

  TsunamiBoard board;
  board.TakeOver(Message("1", u"2024/01/01 16:21:00", {watch}), 0, 0);
  board.TakeOver(Message("2", u"2024/01/01 16:50:00", {}, true), 5000, 0);
  EXPECT_FALSE(board.Tick(5000 + TsunamiBoard::kLiftedMs - 1));
  EXPECT_TRUE(board.Tick(5000 + TsunamiBoard::kLiftedMs));
  EXPECT_EQ(board.state().phase, Phase::kNone);
}

// A forecast from days ago is no forecast in force, unless the messages are stored ones.
TEST(TsunamiBoard, AStaleForecastIsNotShown) {
  const TsunamiMessage old =
      Message("1", u"2024/01/01 16:21:00", {Region(u"A", TsunamiGrade::kWatch)});
  TsunamiBoard board;
  EXPECT_EQ(board.TakeOver(old, 0, TimeKeyOf(u"2024/01/03 16:22:00")).result, Result::kIgnored);
  TsunamiBoard recent;
  EXPECT_EQ(recent.TakeOver(old, 0, TimeKeyOf(u"2024/01/03 16:20:00")).result, Result::kShown);
  TsunamiBoard stored;
  EXPECT_EQ(stored.TakeOver(old, 0, 0).result, Result::kShown);
}

TEST(TsunamiBoard, TimesAreReadOnlyInTheServicesForm) {
  EXPECT_EQ(HourMinuteOf(u"2019/06/18 22:40:00"), u"22:40");
  EXPECT_EQ(TimeKeyOf(u"2019/06/18 22:40:00"), TimeKeyOf(u"2019/06/18 22:40:59"));
  for (const char16_t* bad : {u"", u"22:40", u"2019-06-18 22:40:00", u"2019/06/18 2x:40:00"}) {
    EXPECT_EQ(HourMinuteOf(bad), u"");
    EXPECT_EQ(TimeKeyOf(bad), 0);
  }
}

}  // namespace
}  // namespace hw
