#include "display/history_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/compose_harness.h"

namespace hw {
namespace {

using test::ComposeHarness;

// A harness whose history rows show every text, each piece in a rectangle of its own, and
// whose badge sheet has 12 cells of 20 × 10 in their own colours.
struct History {
  ComposeHarness h;
  History() {
    HistoryBadge& badge = h.theme.intensity.HistIntensity;
    badge = {{1200, 100, 1259, 109, 20, 10, 1, 255}, 4};
    h.SheetSprite(HistIntensitySurface, 20, 10, 12, true);
    ThemeLayout::FontRects& t = h.theme.text;
    t.HisEvTimeYear = {1300, 100, 1360, 130, 1};
    t.HisEvTimeMinute = {1370, 100, 1400, 130, 1};
    t.HisShingen = {1410, 100, 1600, 130, 1};
    t.HisDepth = {1610, 100, 1700, 130, 1};
    t.HisMagnitude = {1710, 100, 1780, 130, 1};
    h.report().issueType = Destination;
    h.report().timeKey = 294498908;
  }
  QuakeReport& Slot(int i) { return h.reports->history[static_cast<std::size_t>(i)]; }
  // The text drawn on page 0 into `e`'s rectangle of row `row` (1…).
  std::u16string TextOf(const TextElement& e, int row) const {
    const int top = e.rcTop + 10 * (row - 1);
    for (const auto& call : h.text.draws) {
      if (call.rect.top == top && call.rect.right == e.rcRight && call.rect.left < 1920 &&
          call.rect.left >= e.rcLeft) {
        return call.text;
      }
    }
    return u"(not drawn)";
  }
  int LeftOf(const TextElement& e, int row) const {
    for (const auto& call : h.text.draws) {
      if (call.rect.top == e.rcTop + 10 * (row - 1) && call.rect.right == e.rcRight) {
        return call.rect.left;
      }
    }
    return -1;
  }
  COLORREF BadgeAt(int row) const { return h.PagePixel(AreaPage, 1230, 105 + 10 * (row - 1)); }
};

TEST(HistoryTable, BadgeCells) {
  const auto slot = [](int type, int scale) {
    QuakeReport r;
    r.issueType = type;
    r.maxScale = scale;
    return r;
  };
  const std::pair<QuakeReport, int> cases[] = {{slot(0, 0), 0},
                                               {slot(DetailScale, 10), 1},
                                               {slot(DetailScale, 45), 5},
                                               {slot(DetailScale, 70), 9},
                                               {slot(Foreign, 0), 10},
                                               {slot(Foreign, 70), 10},
                                               {slot(DetailScale, -1), 11},
                                               {slot(DetailScale, 46), 11}};
  for (const auto& [r, cell] : cases)
    EXPECT_EQ(HistoryBadgeCell(r), cell) << r.issueType << " " << r.maxScale;
}

TEST(HistoryTable, RowsOfTwoReportsAndTwoEmptySlots) {
  History t;
  QuakeReport& first = t.Slot(1);
  first.issueType = DetailScale;
  first.maxScale = 30;
  first.eventYearMonth.Assign(u"2024年 1月");
  first.eventDayTime.Assign(u" 1日16時10分");
  first.hypocenterName.Assign(u"石川県能登地方");
  first.depthText.Assign(u"ごく浅い");
  first.magnitude = 6.0;
  QuakeReport& second = t.Slot(2);
  second.issueType = Foreign;
  second.hypocenterName.Assign(u"アラスカ州南方");
  second.depthText.Assign(u"10km");
  second.magnitude = -1;
  t.h.Compose();

  const ThemeLayout::FontRects& f = t.h.theme.text;
  EXPECT_EQ(t.BadgeAt(1), ComposeHarness::SheetColour(3));
  EXPECT_EQ(t.BadgeAt(2), ComposeHarness::SheetColour(10));  // foreign, whatever its intensity
  EXPECT_EQ(t.BadgeAt(3), ComposeHarness::SheetColour(0));
  EXPECT_EQ(t.BadgeAt(4), ComposeHarness::SheetColour(0));
  EXPECT_EQ(t.TextOf(f.HisEvTimeYear, 1), u"2024");
  EXPECT_EQ(t.TextOf(f.HisEvTimeMinute, 1), u"10");
  EXPECT_EQ(t.TextOf(f.HisShingen, 1), u"石川県能登地方");
  EXPECT_EQ(t.TextOf(f.HisMagnitude, 1), u"6.0");
  EXPECT_EQ(t.TextOf(f.HisMagnitude, 2), u"");
  // "ごく浅い" starts at the rectangle's left, a depth in km two pixels further right.
  EXPECT_EQ(t.LeftOf(f.HisDepth, 1), 1610);
  EXPECT_EQ(t.LeftOf(f.HisDepth, 2), 1612);
  for (const int row : {3, 4}) {
    EXPECT_EQ(t.TextOf(f.HisShingen, row), u"");
    EXPECT_EQ(t.TextOf(f.HisEvTimeYear, row), u"");
    EXPECT_EQ(t.TextOf(f.HisMagnitude, row), u"");
  }
}

TEST(HistoryTable, AtMostTwentyRowsAndHiddenBadgesStillMoveTheRows) {
  History t;
  t.h.theme.intensity.HistIntensity.quantity = 30;
  t.h.theme.intensity.HistIntensity.visible = 0;
  t.h.Compose();
  const TextElement& magnitude = t.h.theme.text.HisMagnitude;
  const auto rows = std::count_if(t.h.text.draws.begin(), t.h.text.draws.end(), [&](const auto& c) {
    return c.rect.right == magnitude.rcRight && c.rect.left == magnitude.rcLeft;
  });
  EXPECT_EQ(rows, 20);
  EXPECT_EQ(t.TextOf(magnitude, 20), u"");                  // row 20 lies 190 pixels down
  EXPECT_NE(t.BadgeAt(1), ComposeHarness::SheetColour(0));  // hidden badge
}

TEST(HistoryTable, PromptRowsSayUnderInvestigationWhileTheQuakeIsUnknown) {
  History t;
  LatestReport& r = t.h.report();
  r.issueType = ScalePrompt;  // remembered with magnitude −1 and depth "---"
  r.magnitude = -1;
  r.depthText.Assign(u"---");
  QuakeReport& slot = t.Slot(1);
  slot.issueType = ScalePrompt;
  slot.hypocenterName.Assign(u"---");
  slot.depthText.Assign(u"---");
  t.h.Compose();
  EXPECT_EQ(t.TextOf(t.h.theme.text.HisShingen, 1), u"調査中");
  EXPECT_EQ(t.TextOf(t.h.theme.text.HisDepth, 1), u"調査中");
  EXPECT_EQ(t.LeftOf(t.h.theme.text.HisDepth, 1), 1610);
}

}  // namespace
}  // namespace hw
