#include <gtest/gtest.h>

#include <string>

#include "acquisition/warning_fixtures.h"
#include "platform/early_warning_message.h"
#include "platform/timed_messages.h"
#include "platform/tsunami_message.h"

namespace hw {
namespace {

using test::WarningFixture;

TEST(TsunamiMessage, TheDefinitionsExampleReadsAsIssued) {
  const std::optional<TsunamiMessage> m =
      ReadTsunamiMessage(WarningFixture("tsunami-example.json"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->id, "5ee1ad7e02add676dd5a67a0");
  EXPECT_EQ(m->issueTime, u"2019/06/18 22:24:00");
  EXPECT_FALSE(m->cancelled);
  ASSERT_EQ(m->regions.size(), 2u);
  EXPECT_EQ(m->regions[0], (TsunamiRegion{u"福島県", u"Warning", TsunamiGrade::kWarning, true, u"",
                                          u"津波到達中と推測", u"３ｍ"}));
  EXPECT_EQ(m->regions[1], (TsunamiRegion{u"青森県太平洋沿岸", u"Watch", TsunamiGrade::kWatch,
                                          false, u"2019/06/18 22:40:00", u"", u"１ｍ"}));
  EXPECT_EQ(m->regionsLeftOut, 0);
}

TEST(EarlyWarningMessage, TheDefinitionsExampleReadsAsIssued) {
  const std::optional<EarlyWarningMessage> m =
      ReadEarlyWarningMessage(WarningFixture("early-warning-example.json"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->id, "5ee1ad7e02add676dd5a67a0");
  EXPECT_FALSE(m->test);
  EXPECT_FALSE(m->cancelled);
  EXPECT_EQ(m->issueTime, u"2022/08/11 00:53:24");
  EXPECT_EQ(m->eventId, "20220811005302");
  EXPECT_EQ(m->serial, 1);
  EXPECT_TRUE(m->hasEarthquake);
  EXPECT_EQ(m->originTime, u"2022/08/11 00:53:00");
  EXPECT_EQ(m->condition, u"");
  EXPECT_EQ(m->hypocentreName, u"宗谷地方北部");
  EXPECT_DOUBLE_EQ(m->latitude, 44.9);
  EXPECT_DOUBLE_EQ(m->longitude, 142.1);
  ASSERT_EQ(m->areas.size(), 1u);
  EXPECT_EQ(m->areas[0], (EarlyWarningArea{u"北海道道北", u"上川地方北部", 45, 45, u"11"}));
}

// Texts that are no message of the code: nothing, never a half-read message.
TEST(WarningMessages, WhatIsNoMessageReadsAsNothing) {
  const auto nested = [](int n) {
    return R"({"code":556,"cancelled":false,"issue":{"eventId":"e"},"x":)" +
           std::string(static_cast<std::size_t>(n), '[') +
           std::string(static_cast<std::size_t>(n), ']') + "}";
  };
  const char* const tsunamis[] = {
      "",
      "garbage",
      "[]",
      R"({"code":552,"cancelled":false,"issue":{})",
      R"([{"code":552,"cancelled":false,"issue":{}}])",
      R"({"code":551,"cancelled":false,"issue":{}})",
      R"({"code":"552","cancelled":false,"issue":{}})",
      R"({"code":552,"issue":{}})",                      // no cancelled
      R"({"code":552,"cancelled":"false","issue":{}})",  // cancelled not a boolean
      R"({"code":552,"cancelled":false})",               // no issue
      "{\"code\":552,\"cancelled\":false,\"issue\":{},\"x\":\"\xff\"}",
  };
  for (const char* text : tsunamis)
    EXPECT_FALSE(ReadTsunamiMessage(text)) << text;
  const std::string warnings[] = {
      "",
      R"({"code":556,"cancelled":false,"issue":{"eventId":"e"})",
      R"({"code":552,"cancelled":false,"issue":{"eventId":"e"}})",
      R"({"code":556,"cancelled":false,"issue":{}})",             // no eventId
      R"({"code":556,"cancelled":false,"issue":{"eventId":7}})",  // eventId not a string
      R"({"code":556,"issue":{"eventId":"e"}})",                  // no cancelled
      nested(32),
  };
  for (const std::string& text : warnings)
    EXPECT_FALSE(ReadEarlyWarningMessage(text)) << text;
  EXPECT_TRUE(ReadEarlyWarningMessage(nested(30)));
}

TEST(WarningMessages, MembersOfAnotherKindOrMissingReadAsNone) {
  const std::optional<TsunamiMessage> t = ReadTsunamiMessage(
      R"({"code":552.0,"cancelled":true,"issue":{"time":7},"areas":[)"
      R"({"grade":"Unknown","name":"A"},{"grade":"Bogus","name":"B","firstHeight":"x"},)"
      R"({"grade":"MajorWarning","immediate":"yes","maxHeight":{"description":5}},3,"s"]})");
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->cancelled);
  EXPECT_EQ(t->id, "");
  EXPECT_EQ(t->issueTime, u"");
  ASSERT_EQ(t->regions.size(), 3u);
  EXPECT_EQ(t->regions[0].grade, TsunamiGrade::kUnknown);
  EXPECT_EQ(t->regions[1].gradeName, u"Bogus");
  EXPECT_EQ(t->regions[1].grade, TsunamiGrade::kUnknown);
  EXPECT_EQ(t->regions[2], (TsunamiRegion{u"", u"MajorWarning", TsunamiGrade::kMajorWarning, false,
                                          u"", u"", u""}));
  EXPECT_EQ(t->regionsLeftOut, 2);  // the number and the string

  struct Serial {
    const char* json;
    int serial;
  };
  for (const Serial& s : {Serial{R"("12")", 12}, Serial{"3", 3}, Serial{R"("0")", 0},
                          Serial{R"("1a")", 0}, Serial{R"("")", 0}, Serial{R"("123456")", 0},
                          Serial{"2.5", 0}, Serial{"-4", 0}, Serial{"null", 0}}) {
    const std::optional<EarlyWarningMessage> w = ReadEarlyWarningMessage(
        std::string(R"({"code":556,"cancelled":false,"issue":{"eventId":"e","serial":)") + s.json +
        "}}");
    ASSERT_TRUE(w) << s.json;
    EXPECT_EQ(w->serial, s.serial) << s.json;
    EXPECT_FALSE(w->hasEarthquake);
    EXPECT_DOUBLE_EQ(w->latitude, -200.0);
  }
  const std::optional<EarlyWarningMessage> w = ReadEarlyWarningMessage(
      R"({"code":556,"test":true,"cancelled":false,"issue":{"eventId":"e","serial":"2"},)"
      R"("earthquake":{"condition":"仮定震源要素","hypocenter":{"latitude":"44"}},)"
      R"("areas":[{"name":"X","scaleFrom":55.9,"scaleTo":99.0},{"name":"Y","scaleFrom":"5"},)"
      R"({"name":"Z","scaleFrom":1e300}]})");
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->test);
  EXPECT_EQ(w->condition, u"仮定震源要素");
  EXPECT_DOUBLE_EQ(w->latitude, -200.0);
  ASSERT_EQ(w->areas.size(), 3u);
  EXPECT_EQ(w->areas[0].scaleFrom, 55);
  EXPECT_EQ(w->areas[0].scaleTo, 99);
  EXPECT_EQ(w->areas[1].scaleFrom, -1);
  EXPECT_EQ(w->areas[2].scaleFrom, -1);
}

// A message of about 100 KB: its long texts are cut, its areas past the limit counted, and
// nothing of it reaches past its fields.
TEST(WarningMessages, AHundredKilobyteMessageIsCutToItsLimits) {
  const std::string longName(3000, 'n');
  std::string areas;
  for (int i = 0; i < 500; ++i) {
    if (i > 0) areas += ",";
    areas += R"({"grade":"Watch","name":")" + (i == 0 ? longName : std::to_string(i)) + "\"}";
  }
  const std::string tsunami =
      R"({"code":552,"cancelled":false,"issue":{"time":"2024/01/01 16:22:00"},"areas":[)" + areas +
      "]}";
  ASSERT_GT(tsunami.size(), 10000u);
  const std::optional<TsunamiMessage> t = ReadTsunamiMessage(tsunami);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->regions.size(), TsunamiMessage::kMaxRegions);
  EXPECT_EQ(t->regionsLeftOut, 300);
  EXPECT_EQ(t->regions[0].name.size(), static_cast<std::size_t>(TsunamiMessage::kMaxText));

  std::string names;
  for (int i = 0; i < 1500; ++i) {
    if (i > 0) names += ",";
    names +=
        R"({"pref":"P","name":"石狩地方北部石狩地方北部","scaleFrom":45,"scaleTo":99,"kindCode":"10"})";
  }
  const std::string warning = R"({"code":556,"cancelled":false,"issue":{"eventId":")" + longName +
                              R"(","serial":"1"},"earthquake":{"hypocenter":{"name":")" + longName +
                              R"("}},"areas":[)" + names + "]}";
  ASSERT_GT(warning.size(), 100000u);
  const std::optional<EarlyWarningMessage> w = ReadEarlyWarningMessage(warning);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->eventId.size(), 64u);
  EXPECT_EQ(w->hypocentreName.size(), static_cast<std::size_t>(EarlyWarningMessage::kMaxText));
  EXPECT_EQ(w->areas.size(), EarlyWarningMessage::kMaxAreas);
  EXPECT_EQ(w->areasLeftOut, 1100);
}

TEST(TsunamiMessage, AListKeepsItsTsunamiMessagesInOrder) {
  const std::optional<std::vector<TsunamiMessage>> list = ReadTsunamiList(
      R"([{"code":552,"id":"new","cancelled":true,"issue":{}},{"code":551,"id":"quake"},)"
      R"(7,{"code":552,"id":"bad"},{"code":552,"_id":"old","cancelled":false,"issue":{}}])");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].id, "new");
  EXPECT_EQ((*list)[1].id, "old");
  EXPECT_TRUE(ReadTsunamiList("[]")->empty());
  for (const char* text : {"", "{}", R"({"code":552,"cancelled":true,"issue":{}})", "[1,"}) {
    EXPECT_FALSE(ReadTsunamiList(text)) << text;
  }
}

TEST(TimedMessages, EachStoredMessageKeepsItsSecond) {
  const std::optional<std::vector<TimedMessage>> messages = ReadTimedMessages(
      R"([{"at":5,"message":{"code":556}},{"at":120,"message":{}},{"at":-1,"message":{}},)"
      R"({"at":1.5,"message":{}},{"at":7,"message":[]},{"message":{}},)"
      R"({"at":119,"message":{"code":552,"areas":[]}}])",
      120);
  ASSERT_TRUE(messages);
  const std::vector<TimedMessage> expected = {{5, R"({"code":556})"},
                                              {119, R"({"areas":[],"code":552})"}};
  EXPECT_EQ(*messages, expected);
  EXPECT_FALSE(ReadTimedMessages("{}", 120));
}

}  // namespace
}  // namespace hw
