#include "acquisition/report_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "acquisition/compact_json.h"
#include "acquisition/fetch_status.h"
#include "acquisition/report_body.h"
#include "acquisition/report_json.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

using test::Body;
using test::Point;
using test::ReportJson;

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(HW_FIXTURE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A fetch's reading of one body, with its own stores.
struct Reading {
  explicit Reading(const std::string& body, std::u16string shownId = u"",
                   TimePaddings paddings = {}) {
    lastShownId = std::move(shownId);
    status = ReadReportBody(body, *store, newestId, lastShownId, paddings);
  }
  const LatestReport& latest() const { return store->latest; }
  const QuakeReport& slot(int i) const { return store->history[static_cast<std::size_t>(i)]; }

  std::unique_ptr<ReportStore> store = std::make_unique<ReportStore>();
  std::u16string newestId;
  std::u16string lastShownId;
  FetchStatusValue status = FetchIdle;
};

TEST(ReportReader, RealBodyOfSevenTypesFillsBothStores) {
  const Reading r(Fixture("samples/seven-types-2016-2020.json"));
  ASSERT_EQ(r.status, FetchDone);
  EXPECT_EQ(r.newestId, u"\"570f976e843b7327f4000000\"");

  const LatestReport& latest = r.latest();
  EXPECT_EQ(latest.code, 551);
  EXPECT_EQ(latest.issueType, ScalePrompt);
  EXPECT_EQ(latest.eventYearMonth, u"2016年 4月");
  EXPECT_EQ(latest.eventDayTime, u"14日21時26分");
  EXPECT_EQ(latest.issueDayTime, u"14日21時29分");
  EXPECT_EQ(latest.hypocenterName, u"---");
  EXPECT_EQ(latest.depthText, u"---");
  EXPECT_EQ(latest.maxScale, 70);
  EXPECT_EQ(latest.magnitude, -1.0);
  EXPECT_EQ(latest.latitude, -200.0);
  EXPECT_EQ(latest.domesticTsunami, DomesticChecking);
  EXPECT_EQ(latest.foreignTsunami, ForeignUnknown);
  ASSERT_EQ(latest.pointCount, 3);
  EXPECT_EQ(latest.points[1].addr, u"熊本県阿蘇");
  EXPECT_EQ(latest.points[1].pref, u"熊本県");
  EXPECT_EQ(latest.points[1].scale, 45);
  EXPECT_EQ(latest.commentLength, 0);

  // History keeps only detailed, foreign and other reports, newest first after slot 0.
  EXPECT_EQ(r.slot(0).issueType, ScalePrompt);
  EXPECT_EQ(r.slot(1).issueType, Foreign);
  EXPECT_EQ(r.slot(1).hypocenterName, u"アラスカ州南方");
  EXPECT_EQ(r.slot(1).magnitude, 7.4);
  EXPECT_EQ(r.slot(1).longitude, -159.6);
  EXPECT_EQ(r.slot(1).foreignTsunami, ForeignWarningNearby);
  EXPECT_EQ(r.slot(2).issueType, DetailScale);
  EXPECT_EQ(r.slot(2).eventDayTime, u" 6日 3時08分");
  EXPECT_EQ(r.slot(2).depthText, u"40km");
  EXPECT_EQ(r.slot(2).domesticTsunami, DomesticNonEffective);
  EXPECT_EQ(r.slot(3).issueType, Other);
  EXPECT_EQ(r.slot(3).timeKey, 16384320);  // year 0001
  EXPECT_EQ(r.slot(4).timeKey, 0);
}

TEST(ReportReader, RealBodiesOfOtherShapes) {
  const Reading noto(Fixture("samples/scaleprompt-2024-01-01-noto.json"));
  EXPECT_EQ(noto.latest().pointCount, 75);
  EXPECT_EQ(noto.latest().maxScale, 70);

  const Reading kumamoto(Fixture("samples/detailscale-2024-08-10-two-reports.json"));
  EXPECT_EQ(kumamoto.latest().pointCount, 45);
  EXPECT_EQ(kumamoto.latest().issueDayTime, u"10日14時21分");
  EXPECT_EQ(kumamoto.slot(1).hypocenterName, u"オホーツク海南部");

  // The documentation's example lists "issue" before "earthquake" and has no "ver": its
  // announcement time is taken for the event time until the smaller event time replaces it,
  // so no announcement time remains, and no comment line is composed.
  const Reading docs(Fixture("samples/detailscale-2019-08-26-docs-example.json"));
  EXPECT_EQ(docs.newestId, u"\"5ee1681202add671a1e1ae39\"");
  EXPECT_EQ(docs.latest().eventDayTime, u"26日20時53分");
  EXPECT_TRUE(docs.latest().issueDayTime.Empty());
  EXPECT_EQ(docs.latest().pointCount, 2);
}

TEST(ReportReader, CheckPassStopsAtTheShownIdWithoutResetting) {
  const std::string body = Body({ReportJson().Id("a"), ReportJson().Id("b"), ReportJson().Id("c")});
  Reading r(body);
  ASSERT_EQ(r.status, FetchDone);
  // Marks in what the check pass never reaches (members after "id", other slots).
  r.store->latest.pointCount = 99;
  r.store->history[5].timeKey = 99;
  r.lastShownId = r.newestId;
  EXPECT_EQ(ReadReportBody(body, *r.store, r.newestId, r.lastShownId, {}), FetchUnchanged);
  EXPECT_EQ(r.store->latest.pointCount, 99);
  EXPECT_EQ(r.store->history[5].timeKey, 99);

  // A newer first report: only the first fills LatestReport, all three the history.
  const Reading fresh(Body({ReportJson().Id("n").EventTime("2024/01/05 07:00:00").MaxScale("50"),
                            ReportJson().Id("a").EventTime("2024/01/05 06:00:00"),
                            ReportJson().Id("b").EventTime("2024/01/05 05:00:00")}),
                      u"\"a\"");
  EXPECT_EQ(fresh.status, FetchDone);
  EXPECT_EQ(fresh.newestId, u"\"n\"");
  EXPECT_EQ(fresh.latest().maxScale, 50);
  EXPECT_NE(fresh.slot(2).timeKey, 0);
}

TEST(ReportReader, HistoryKeepsOneSlotPerEventAndOnlyLastingKinds) {
  // The detailed report wins over the prompt report of the same event.
  const Reading detailFirst(
      Body({ReportJson().Id("d").Type("DetailScale"), ReportJson().Id("p").Type("ScalePrompt")}));
  EXPECT_EQ(detailFirst.slot(0).issueType, DetailScale);
  EXPECT_EQ(detailFirst.slot(1).timeKey, 0);

  // A prompt report newest, a detailed report of an earlier event next.
  const Reading promptFirst(
      Body({ReportJson().Id("p").Type("ScalePrompt").EventTime("2024/01/05 09:00:00"),
            ReportJson().Id("d").Type("DetailScale")}));
  EXPECT_EQ(promptFirst.slot(0).issueType, ScalePrompt);
  EXPECT_EQ(promptFirst.slot(1).issueType, DetailScale);

  // Same event time and epicentre: only the first (newer) history candidate is kept.
  const Reading twice(
      Body({ReportJson().Id("x").Type("Foreign").EventTime("2024/02/01 00:00:00"),
            ReportJson().Id("d1").MaxScale("40"), ReportJson().Id("d2").MaxScale("30")}));
  EXPECT_EQ(twice.slot(1).maxScale, 40);
  EXPECT_EQ(twice.slot(2).timeKey, 0);
}

TEST(ReportReader, DestinationTakesTheIntensityOfItsPromptReport) {
  const Reading r(Body({ReportJson().Id("d").Type("Destination").MaxScale("-1"),
                        ReportJson().Id("p").Type("ScalePrompt").MaxScale("55"),
                        ReportJson().Id("e").EventTime("2023/05/05 14:42:00").MaxScale("60")}));
  EXPECT_EQ(r.slot(0).issueType, Destination);
  EXPECT_EQ(r.slot(0).maxScale, 55);
  EXPECT_EQ(r.slot(1).maxScale, 60);  // the prompt report itself was dropped
}

TEST(ReportReader, HistoryStopsAfterTwentyJudgedSlots) {
  // 25 detailed reports of different days, newest first: 28th, 27th, … 4th.
  std::string body = "[";
  for (int i = 0; i < 25; ++i) {
    char event[32];
    char issue[32];
    std::snprintf(event, sizeof event, "2024/01/%02d 07:08:00", 28 - i);
    std::snprintf(issue, sizeof issue, "2024/01/%02d 07:12:00", 28 - i);
    body += (i ? "," : "") +
            ReportJson().Id("r" + std::to_string(i)).EventTime(event).IssueTime(issue).Build();
  }
  body += "]";
  auto store = std::make_unique<ReportStore>();
  std::u16string newest;
  const std::u16string shown;
  const std::u16string text = Utf8ToUtf16(body);
  ReportReader reader(*store, newest, shown, {});
  ResetReportStore(*store);
  reader.ReadReports(text, ReadPass::kHistory);
  EXPECT_NE(store->history[20].timeKey, 0);
  // The 22nd report was read into the work slot and stays there; the rest are not read.
  EXPECT_EQ(store->history[21].eventDayTime, u" 7日 7時08分");
}

TEST(ReportReader, CommentLineTurnsLineBreaksIntoIdeographicSpaces) {
  const Reading plain(Body({ReportJson().Comment("First sentence.\\nSecond one; no n-escape.")}));
  EXPECT_EQ(plain.latest().commentText.View(),
            u"この地震による津波の心配はありません。\u3000\u3000"
            u"First sentence.\u3000\u3000Second one; no n-escape.");
  EXPECT_EQ(plain.latest().commentLength, static_cast<int>(plain.latest().commentText.Size()));

  const Reading foreign(
      Body({ReportJson().Type("Foreign").ForeignTsunami("WarningPacific").Comment("x\\\"y")}));
  EXPECT_EQ(foreign.latest().commentText.View(),
            u"太平洋で津波発生の可能性があります。\u3000\u3000"
            u"この地震による日本への津波の影響はありません。\u3000\u3000x\u3000\"y");

  // Quotes are not tracked, so an ASCII comma inside the comment ends it (and the unit taken
  // for the closing quote goes with it).
  EXPECT_EQ(Reading(Body({ReportJson().Type("Other").Comment("one, two")})).latest().commentText,
            u"on");

  // Without a comment no tsunami text is composed either; no "ver", no comment line at all.
  EXPECT_EQ(Reading(Body({ReportJson().Type("Foreign")})).latest().commentLength, 0);
  EXPECT_EQ(Reading(Body({ReportJson().Comment("abc").NoVer()})).latest().commentLength, 0);

  // The line is cut to 1024 characters.
  const Reading longComment(Body({ReportJson().Type("Other").Comment(std::string(3000, 'c'))}));
  EXPECT_EQ(longComment.latest().commentLength, 1024);
}

TEST(ReportReader, TimesWithMillisecondsAndPaddingRules) {
  // An event time with milliseconds is ignored, so the announcement time comes first and is
  // taken for the event time.
  const Reading millis(Body({ReportJson().EventTime("2024/01/05 07:08:00.5")}), u"", {1, 1, 1});
  EXPECT_EQ(millis.latest().eventDayTime, u"05日07時12分");
  EXPECT_TRUE(millis.latest().issueDayTime.Empty());

  // Each text follows its own padding value.
  const Reading r(Body({ReportJson()}), u"", {0, 1, 1});
  EXPECT_EQ(r.latest().eventDayTime, u" 5日 7時08分");
  EXPECT_EQ(r.latest().issueDayTime, u"05日07時12分");
  EXPECT_EQ(r.slot(0).eventDayTime, u"05日07時08分");
}

TEST(ReportReader, PointScaleIsTheLastMemberWhateverItsKey) {
  const std::string points =
      "[{\"addr\":\"A町\",\"pref\":\"P県\",\"scale\":30,\"extra\":7},"
      "{\"addr\":\"B町\",\"scale\":45,\"pref\":\"Q県\"},"
      "{\"pref\":\"R県\",\"scale\":10}]";
  const Reading r(Body({ReportJson().Points(points)}));
  ASSERT_EQ(r.latest().pointCount, 3);
  EXPECT_EQ(r.latest().points[0].scale, 7);
  // "pref" as the last member is the scale text, and the previous pref carries over.
  EXPECT_EQ(r.latest().points[1].scale, 0);
  EXPECT_EQ(r.latest().points[1].pref, u"P県");
  EXPECT_EQ(r.latest().points[2].addr, u"B町");  // no addr of its own
  EXPECT_EQ(r.latest().points[2].pref, u"R県");
}

TEST(ReportReader, CapacitiesHoldWhateverTheInput) {
  std::string points = "[";
  for (int i = 0; i < 6000; ++i)
    points += (i ? "," : "") + Point("地点" + std::to_string(i), "県", 20);
  points += "]";
  const std::string longName(300, 'n');
  const Reading r(Body({ReportJson().Name(longName).Points(points)}));
  EXPECT_EQ(r.latest().pointCount, LatestReport::kMaxPoints);
  EXPECT_EQ(r.latest().points[4999].addr, u"地点4999");
  EXPECT_EQ(r.latest().hypocenterName.Size(), 127u);

  const std::string longAddr = "[" + Point(std::string(100, 'a'), std::string(40, 'p'), 10) + "]";
  const Reading cut(Body({ReportJson().Points(longAddr)}));
  EXPECT_EQ(cut.latest().points[0].addr.Size(), 29u);
  EXPECT_EQ(cut.latest().points[0].pref.Size(), 29u);
}

TEST(ReportReader, BodiesThatAreNoReportListsHoldNoReport) {
  EXPECT_EQ(Reading("").status, FetchBadBody);
  EXPECT_EQ(Reading("<html>502</html>").status, FetchBadBody);
  EXPECT_EQ(Reading(std::string("\0[]", 3)).status, FetchBadBody);
  EXPECT_EQ(Reading("[]").status, FetchNoReports);

  EXPECT_EQ(Reading("[{\"code\":551}]").status, FetchNoReports) << "no id";

  // Deeply nested objects are skipped instead of exhausting the stack.
  std::string deep = "[{\"earthquake\":";
  for (int i = 0; i < 50000; ++i)
    deep += "{\"earthquake\":";
  deep += "1" + std::string(50001, '}') + "]";
  EXPECT_EQ(Reading(deep).status, FetchNoReports);
}

// The same list as the service might format it: a line per member, indented, with blanks
// after the colons (inserted outside strings only).
std::string PrettyPrinted(std::string_view compact) {
  std::string pretty;
  std::string indent = "\n";
  bool inString = false;
  for (std::size_t i = 0; i < compact.size(); ++i) {
    const char c = compact[i];
    if (inString) {
      pretty += c;
      if (c == '\\') pretty += compact[++i];
      if (c == '"') inString = false;
      continue;
    }
    if (c == '}' || c == ']') {
      indent.resize(indent.size() - 2);
      pretty += indent;
    }
    pretty += c;
    if (c == '"') inString = true;
    if (c == ':') pretty += ' ';
    if (c == '{' || c == '[') indent += "  ";
    if (c == '{' || c == '[' || c == ',') pretty += indent;
  }
  return pretty + "\r\n";
}

TEST(ReportReader, PrettyPrintedListsReadAsCompactOnes) {
  for (const char* name :
       {"samples/seven-types-2016-2020.json", "samples/detailscale-2024-08-10-two-reports.json"}) {
    SCOPED_TRACE(name);
    const std::string compact = Fixture(name);
    const std::string pretty = PrettyPrinted(compact);
    ASSERT_NE(pretty.find("\n    \"code\": 551,"), std::string::npos) << pretty.substr(0, 300);
    EXPECT_EQ(CompactJson(compact), compact) << "compact input comes back byte for byte";
    EXPECT_EQ(CompactJson(pretty), compact);

    const Reading a(compact);
    const Reading b(pretty);
    ASSERT_EQ(b.status, FetchDone);
    EXPECT_EQ(b.newestId, a.newestId);
    EXPECT_EQ(b.latest().pointCount, a.latest().pointCount);
    EXPECT_EQ(b.latest().commentText, a.latest().commentText);
    EXPECT_EQ(b.latest().hypocenterName, a.latest().hypocenterName);
    for (int i = 0; i < kHistorySlots; ++i)
      EXPECT_EQ(b.slot(i).hypocenterName, a.slot(i).hypocenterName) << i;
  }
}

// Blanks inside strings are part of the text; escapes never end a string early.
TEST(ReportReader, CompactJsonKeepsStrings) {
  struct Case {
    std::string_view text;
    std::string_view compact;
  };
  const Case cases[] = {
      {" [ {\"a b\" :\t\"c  d\" } ]\r\n", "[{\"a b\":\"c  d\"}]"},
      {R"(["a\" b", 1 ])", R"(["a\" b",1])"},
      {R"(["a\\", "b" ])", R"(["a\\","b"])"},
      {"[\"never ends , ]", "[\"never ends , ]"},
      {"\xE6\x9D\xB1 \xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CompactJson(c.text), c.compact) << c.text;
}

}  // namespace
}  // namespace hw
