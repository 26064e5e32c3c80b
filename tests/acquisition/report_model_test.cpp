#include "acquisition/report_model.h"

#include <gtest/gtest.h>

#include "acquisition/report_texts.h"

namespace hw {
namespace {

TEST(ReportTexts, TimeKeyAndDisplayTextsFollowPadding) {
  const std::u16string_view digits = u"20240105070809";
  EXPECT_EQ(TimeKey(digits), 24 * 16338240 + 1 * 44640 + 5 * 1440 + 7 * 60 + 8);
  EXPECT_EQ(TimeKey(digits), 392170028);
  EXPECT_EQ(YearMonthText(digits, 0), u"2024年 1月");
  EXPECT_EQ(DayTimeText(digits, 0), u" 5日 7時08分");
  EXPECT_EQ(YearMonthText(digits, 1), u"2024年01月");
  EXPECT_EQ(DayTimeText(digits, 1), u"05日07時08分");
  // Two-digit fields without a leading zero are never blanked; minutes keep theirs.
  EXPECT_EQ(DayTimeText(u"20241231230005", 0), u"31日23時00分");
}

TEST(ReportTexts, MalformedTimesGiveShortTextsNotOverruns) {
  EXPECT_EQ(TimeKey(u""), 0);
  EXPECT_EQ(YearMonthText(u"2024", 0), u"2024年月");
  EXPECT_EQ(DayTimeText(u"202401", 0), u"日時分");
}

TEST(ReportTexts, DepthText) {
  struct Case {
    std::u16string_view value;
    std::u16string_view text;
  };
  for (const Case& c : {Case{u"0", u"ごく浅い"}, Case{u"-1", u"---"}, Case{u"10", u"10km"},
                        Case{u"", u"km"}, Case{u"null", u"nullkm"}}) {
    EXPECT_EQ(DepthText(c.value), c.text) << std::string(c.value.begin(), c.value.end());
  }
}

TEST(FixedText, CutsToCapacityWithoutSplittingSurrogatePairs) {
  FixedText<4> text(u"abcdef");
  EXPECT_EQ(text.View(), u"abc");
  text.Assign(u"ab\U0001F600");  // the pair would need units 3 and 4
  EXPECT_EQ(text.View(), u"ab");
  EXPECT_EQ(text.CStr()[text.Size()], u'\0');
}

TEST(ReportModel, ResetGivesDocumentedValuesAndKeepsLaterPoints) {
  auto store = std::make_unique<ReportStore>();
  store->latest.pointCount = 2;
  store->latest.points[0].scale = 45;
  store->latest.points[1].scale = 30;
  store->latest.latitude = 35.0;
  store->history[21].timeKey = 7;
  store->StoredComment = u"\"x\"";
  ResetReportStore(*store);
  EXPECT_EQ(store->latest.pointCount, 0);
  EXPECT_EQ(store->latest.points[0].scale, 0);
  EXPECT_EQ(store->latest.points[1].scale, 30);
  EXPECT_EQ(store->latest.latitude, -200.0);
  EXPECT_EQ(store->latest.longitude, -200.0);
  EXPECT_EQ(store->history[21].timeKey, 0);
  EXPECT_EQ(store->history[21].latitude, -200.0);
  EXPECT_TRUE(store->StoredComment.empty());
}

TEST(ReportModel, SortObservationPointsCountsLeadingMaxScale) {
  auto report = std::make_unique<LatestReport>();
  const int scales[] = {30, 45, 10, 45};
  for (int i = 0; i < 4; ++i)
    report->points[static_cast<std::size_t>(i)].scale = scales[i];
  report->pointCount = 4;
  report->maxScale = 45;
  SortObservationPoints(*report);
  EXPECT_EQ(report->points[0].scale, 45);
  EXPECT_EQ(report->points[1].scale, 45);
  EXPECT_EQ(report->points[2].scale, 30);
  EXPECT_EQ(report->points[3].scale, 10);
  EXPECT_EQ(report->MaxScalePointCount, 2);

  // A maxScale that no leading point has counts none; no points changes nothing.
  report->maxScale = 70;
  SortObservationPoints(*report);
  EXPECT_EQ(report->MaxScalePointCount, 0);
  report->pointCount = 0;
  report->MaxScalePointCount = 9;
  SortObservationPoints(*report);
  EXPECT_EQ(report->MaxScalePointCount, 9);
}

TEST(ReportModel, SortReportHistoryKeepsSlotZero) {
  ReportHistory history{};
  history[0].timeKey = 1;
  history[1].timeKey = 10;
  history[2].timeKey = 30;
  history[21].timeKey = 20;
  SortReportHistory(history);
  EXPECT_EQ(history[0].timeKey, 1);
  EXPECT_EQ(history[1].timeKey, 30);
  EXPECT_EQ(history[2].timeKey, 20);
  EXPECT_EQ(history[3].timeKey, 10);
  EXPECT_EQ(history[21].timeKey, 0);
}

TEST(ReportModel, SameEventNeedsEqualKeyAndName) {
  QuakeReport a;
  a.timeKey = 5;
  a.hypocenterName.Assign(u"石川県能登地方");
  QuakeReport b = a;
  EXPECT_TRUE(IsSameEvent(a, b));
  b.hypocenterName.Assign(u"石川県能登沖");
  EXPECT_FALSE(IsSameEvent(a, b));
  b = a;
  b.timeKey = 6;
  EXPECT_FALSE(IsSameEvent(a, b));
}

}  // namespace
}  // namespace hw
