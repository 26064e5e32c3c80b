#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/compose_harness.h"
#include "display/early_warning_page.h"
#include "display/tsunami_panel.h"
#include "platform/clock.h"
#include "refdata/area_table.h"

namespace hw {
namespace {

using test::ComposeHarness;
using Kind = TsunamiPanelRow::Kind;

TsunamiRegionLine Line(std::u16string name, TsunamiGrade grade) {
  return {std::move(name), grade, u"22:40 到達予想", u"１ｍ"};
}

TsunamiState InForce(std::vector<TsunamiRegionLine> regions) {
  return {TsunamiState::Phase::kInForce, "t", u"2019/06/18 22:24:00", std::move(regions)};
}

std::vector<std::pair<Kind, std::u16string>> Shape(const std::vector<TsunamiPanelRow>& rows) {
  std::vector<std::pair<Kind, std::u16string>> shape;
  for (const TsunamiPanelRow& row : rows)
    shape.emplace_back(row.kind, row.text);
  return shape;
}

TEST(TsunamiPanel, RowsGroupTheRegionsUnderTheirGradesAndSayWhatDidNotFit) {
  const TsunamiState state =
      InForce({Line(u"M", TsunamiGrade::kMajorWarning), Line(u"W1", TsunamiGrade::kWarning),
               Line(u"W2", TsunamiGrade::kWarning), Line(u"A", TsunamiGrade::kWatch)});
  using Shape_ = std::vector<std::pair<Kind, std::u16string>>;
  struct Case {
    int rows;
    Shape_ shape;
  };
  const Case cases[] = {
      {8,
       {{Kind::kTitle, u"津波警報・注意報"},
        {Kind::kGrade, u"大津波警報"},
        {Kind::kRegion, u"M"},
        {Kind::kGrade, u"津波警報"},
        {Kind::kRegion, u"W1"},
        {Kind::kRegion, u"W2"},
        {Kind::kGrade, u"津波注意報"},
        {Kind::kRegion, u"A"}}},
      {6,
       {{Kind::kTitle, u"津波警報・注意報"},
        {Kind::kGrade, u"大津波警報"},
        {Kind::kRegion, u"M"},
        {Kind::kGrade, u"津波警報"},
        {Kind::kRegion, u"W1"},
        {Kind::kNote, u"ほか 2 区域"}}},
      // The bar of 津波警報 would be left without a region: it goes with them.
      {5,
       {{Kind::kTitle, u"津波警報・注意報"},
        {Kind::kGrade, u"大津波警報"},
        {Kind::kRegion, u"M"},
        {Kind::kNote, u"ほか 3 区域"}}},
      {1, {{Kind::kTitle, u"津波警報・注意報"}}},
      {0, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Shape(TsunamiPanelRows(state, c.rows)), c.shape) << c.rows;

  const std::vector<TsunamiPanelRow> rows = TsunamiPanelRows(state, 8);
  EXPECT_EQ(rows[0].right, u"22:24 発表");
  EXPECT_EQ(rows[3].right, u"2 区域");
  EXPECT_EQ(rows[4].height, u"１ｍ");
  EXPECT_EQ(rows[4].firstWave, u"22:40 到達予想");

  TsunamiState lifted{TsunamiState::Phase::kLifted, "c", u"2019/06/18 23:40:00", {}};
  EXPECT_EQ(Shape(TsunamiPanelRows(lifted, 8)), (Shape_{{Kind::kTitle, u"津波警報・注意報 解除"},
                                                        {Kind::kNote, u"すべて解除されました"}}));
  EXPECT_TRUE(TsunamiPanelRows(TsunamiState{}, 8).empty());
}

// The pixels of one page's rectangle.
std::vector<COLORREF> Pixels(const ComposeHarness& h, int page, const Rect& r) {
  std::vector<COLORREF> out;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x)
      out.push_back(h.PagePixel(page, x, y));
  }
  return out;
}

struct PanelHarness : ComposeHarness {
  PanelHarness() {
    LatestReport& r = report();
    r.issueType = ScalePrompt;
    r.maxScale = 45;
    SetPoints({{u"石狩地方北部", 45}});
    Compose();
    theme.panel.TsunamiPanel = {1400, 600, 1799, 999, 1, 200, theme.panel.TsunamiPanel.style};
  }
  const Rect box{1400, 600, 1800, 1000};
};

TEST(TsunamiPanel, CoversItsBoxOnEveryPageAndGivesThePagesBackWhenItEnds) {
  PanelHarness h;
  std::vector<std::vector<COLORREF>> before;
  for (int page = 0; page < 4; ++page)
    before.push_back(Pixels(h, page, h.box));
  const COLORREF outside = h.PagePixel(0, h.box.left - 1, h.box.top);
  const std::uint64_t compositions = h.display.composer().compositions();

  const TsunamiState state =
      InForce({Line(u"福島県", TsunamiGrade::kWarning), Line(u"宮城県", TsunamiGrade::kWatch)});
  h.display.TakeOverTsunami(state);
  EXPECT_EQ(h.display.tsunami(), state);
  EXPECT_GT(h.display.composer().compositions(), compositions);
  // The bar of the first grade lies under the title row, in the agency's red, on every page.
  const int rowHeight = h.theme.panel.TsunamiPanel.style.fontHeight + 6;
  for (int page = 0; page < 4; ++page) {
    EXPECT_NE(Pixels(h, page, h.box), before[static_cast<std::size_t>(page)]) << page;
    EXPECT_EQ(h.PagePixel(page, h.box.left + 100, h.box.top + 8 + rowHeight + rowHeight / 2),
              TsunamiGradeColour(TsunamiGrade::kWarning))
        << page;
  }
  EXPECT_EQ(h.PagePixel(0, h.box.left - 1, h.box.top), outside);
  const auto drawn = [&](std::u16string_view text) {
    return std::any_of(h.text.draws.begin(), h.text.draws.end(),
                       [&](const auto& call) { return call.text == text; });
  };
  EXPECT_TRUE(drawn(u"福島県"));
  EXPECT_TRUE(drawn(u"22:24 発表"));

  // A new composition while it is in force draws it again; its end gives back the pages as
  // the composition drew them.
  h.Compose();
  EXPECT_EQ(h.PagePixel(2, h.box.left + 100, h.box.top + 8 + rowHeight + rowHeight / 2),
            TsunamiGradeColour(TsunamiGrade::kWarning));
  h.display.TakeOverTsunami(TsunamiState{});
  for (int page = 0; page < 4; ++page) {
    EXPECT_EQ(Pixels(h, page, h.box), before[static_cast<std::size_t>(page)]) << page;
  }

  // A theme that hides the panel leaves the pages alone.
  h.theme.panel.TsunamiPanel.visible = 0;
  h.display.TakeOverTsunami(state);
  EXPECT_EQ(Pixels(h, 0, h.box), before[0]);
}

EarlyWarning Warning() {
  EarlyWarning w;
  w.eventId = "E";
  w.serial = 2;
  w.issueTime = u"2022/08/11 00:53:30";
  w.originTime = u"2022/08/11 00:53:00";
  w.regionName = u"石狩地方北部";
  // Off the coast, clear of the areas' marks.
  w.latitude = 42.6;
  w.longitude = 143.6;
  w.areas = {{u"石狩地方北部", 55, 99}, {u"どこにもない地域", 45, 45}, {u"上川地方北部", 45, 50}};
  w.forecastFrom = 55;
  w.forecastTo = 99;
  return w;
}

TEST(EarlyWarningPage, MarksTheTargetAreasItFindsAndLogsTheOthers) {
  ComposeHarness h;
  h.display.TakeOverEarlyWarning(Warning());
  const EarlyWarningPage& page = h.display.composer().warningPage();
  ASSERT_NE(page.page(), nullptr);
  const AreaTable& areas = h.reference->areas;
  ASSERT_EQ(page.marks().size(), 2u);
  EXPECT_EQ(page.marks()[0].area, FindAreaByName(areas, u"石狩地方北部"));
  EXPECT_EQ(page.marks()[1].area, FindAreaByName(areas, u"上川地方北部"));
  EXPECT_NE(
      std::find(h.log.lines.begin(), h.log.lines.end(),
                u"Event Log       ： 緊急地震速報（警報） … 区域表にない地域名: どこにもない地域"),
      h.log.lines.end());
  // Each mark in its forecast's colour (the lower bound), the hypocentre marked, the banner.
  const Surface& shown = *page.page();
  for (const EarlyWarningPage::Mark& mark : page.marks()) {
    EXPECT_EQ(shown.GetPixel(mark.x - 20, mark.y - 20), ForecastFillColour(mark.scaleFrom));
  }
  const Rect& hypocentre = page.hypocentreRect();
  ASSERT_GT(hypocentre.Width(), 0);
  EXPECT_EQ(shown.GetPixel(hypocentre.left + 37, hypocentre.top + 37), test::kEpicentreColour);
  EXPECT_EQ(shown.GetPixel(5, 5), MakeColorRef(200, 0, 0));
  const auto drawn = [&](std::u16string_view text) {
    return std::any_of(h.text.draws.begin(), h.text.draws.end(),
                       [&](const auto& call) { return call.text == text; });
  };
  for (const char16_t* text :
       {u"緊急地震速報（警報）", u"震源 石狩地方北部", u"予測最大震度 6弱程度以上",
        u"00:53:30 発表 第2報", u"参考情報・配信は無保証", u"以上", u"～5強"}) {
    EXPECT_TRUE(drawn(text)) << static_cast<const void*>(text);
  }
  EXPECT_FALSE(drawn(u"訓練/テスト"));
  EXPECT_FALSE(drawn(u"取消"));
}

// Neighbouring areas' marks and the hypocentre never cover one another: the strongest keeps
// its place, the others move aside, joined to their points by a line.
TEST(EarlyWarningPage, MarksKeepClearOfEachOtherAndOfTheHypocentre) {
  ComposeHarness h;
  EarlyWarning w = Warning();
  w.regionName = u"胆振地方中東部";
  w.latitude = 42.7;
  w.longitude = 142.0;
  w.areas = {{u"石狩地方南部", 50, 55},
             {u"胆振地方中東部", 60, 99},
             {u"胆振地方西部", 45, 50},
             {u"日高地方西部", 50, 55}};
  h.display.TakeOverEarlyWarning(w);
  const EarlyWarningPage& page = h.display.composer().warningPage();
  ASSERT_EQ(page.marks().size(), 4u);
  std::vector<Rect> boxes;
  for (const EarlyWarningPage::Mark& m : page.marks())
    boxes.push_back({m.x - 32, m.y - 32, m.x + 32, m.y + 32});
  boxes.push_back(page.hypocentreRect());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const Rect& a = boxes[i];
      const Rect& b = boxes[j];
      EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
          << i << " " << j;
    }
  }
  const EarlyWarningPage::Mark& strongest = page.marks()[1];
  EXPECT_EQ(std::pair(strongest.x, strongest.y), std::pair(strongest.pointX, strongest.pointY));
  // A moved mark's point has a dot of its colour.
  for (const EarlyWarningPage::Mark& m : page.marks()) {
    if (m.x != m.pointX || m.y != m.pointY) {
      EXPECT_EQ(page.page()->GetPixel(m.pointX, m.pointY), ForecastFillColour(m.scaleFrom));
    }
  }
}

TEST(EarlyWarningPage, AnAssumedHypocentreIsNotMarkedATestOrACancellationSaysSo) {
  ComposeHarness h;
  EarlyWarning w = Warning();
  w.assumedHypocentre = true;
  w.test = true;
  h.display.TakeOverEarlyWarning(w);
  EXPECT_EQ(h.display.composer().warningPage().hypocentreRect().Width(), 0);
  const auto drawn = [&](std::u16string_view text) {
    return std::any_of(h.text.draws.begin(), h.text.draws.end(),
                       [&](const auto& call) { return call.text == text; });
  };
  EXPECT_TRUE(drawn(u"震源 石狩地方北部 (仮定震源要素)"));
  EXPECT_TRUE(drawn(u"訓練/テスト"));

  w.phase = EarlyWarning::Phase::kCancelled;
  w.areas.clear();
  h.text.draws.clear();
  h.display.TakeOverEarlyWarning(w);
  EXPECT_TRUE(drawn(u"取消"));
  EXPECT_FALSE(drawn(u"予測最大震度 6弱程度以上"));
  EXPECT_TRUE(h.display.composer().warningPage().marks().empty());
  w.assumedHypocentre = false;
  h.display.TakeOverEarlyWarning(w);
  EXPECT_EQ(h.display.composer().warningPage().hypocentreRect().Width(), 0);
}

// While a warning is shown the window shows its page, without the report's ticker or fades;
// when it ends, the report's picture is back as it was.
TEST(EarlyWarningPage, PaintingShowsItInsteadOfTheReportsPages) {
  ComposeHarness h;
  LatestReport& r = h.report();
  r.issueType = ScalePrompt;
  r.commentText.Assign(u"この地震による津波の心配はありません。");
  r.commentLength = static_cast<int>(r.commentText.Size());
  h.SetPoints({{u"石狩地方北部", 30}});
  h.Compose();
  PaintState state;
  state.NowTime = MakeLocalTime(2026, 12, 8, 12, 0, 0);
  const auto displayRow = [&](int y) {
    std::vector<COLORREF> row;
    for (int x = 0; x < kPageWidth; x += 7)
      row.push_back(h.PagePixel(DisplayPage, x, y));
    return row;
  };
  const auto pageRow = [&](const Surface& page, int y, int x0) {
    std::vector<COLORREF> row;
    for (int x = 0; x < kPageWidth; x += 7)
      row.push_back(page.GetPixel(x0 + x, y));
    return row;
  };
  h.display.Paint(state);
  const std::size_t tickerDraws = h.text.draws.size();
  ASSERT_TRUE(std::any_of(h.text.draws.begin(), h.text.draws.end(),
                          [&](const auto& call) { return call.text == r.commentText.View(); }));

  h.display.TakeOverEarlyWarning(Warning());
  const PaintResult painted = h.display.Paint(state);
  EXPECT_TRUE(painted.painted);
  const Surface& warning = *h.display.composer().warningPage().page();
  for (const int y : {0, 300, 700, 1079})
    EXPECT_EQ(displayRow(y), pageRow(warning, y, 0)) << y;
  // The report's ticker is not drawn over it.
  EXPECT_TRUE(std::none_of(h.text.draws.begin() + static_cast<std::ptrdiff_t>(tickerDraws),
                           h.text.draws.end(),
                           [&](const auto& call) { return call.text == r.commentText.View(); }));
  ++state.TickerOffset;
  EXPECT_EQ(h.display.PendingRepaint(state).damage.Width(), 0);
  // A window of another size gets the warning's page stretched, not the report's views.
  state.window = Size{960, 540};
  const PaintResult small = h.display.Paint(state);
  ASSERT_NE(small.frame.surface, nullptr);
  for (const int y : {2, 150, 350, 539}) {
    EXPECT_EQ(small.frame.surface->GetPixel(300, y), warning.GetPixel(600, 2 * y)) << y;
  }
  state.window = Size{};

  h.display.TakeOverEarlyWarning(std::nullopt);
  EXPECT_EQ(h.display.composer().warningPage().page(), nullptr);
  h.display.Paint(state);
  const Surface& canvas = h.canvas();
  for (const int y : {300, 700})
    EXPECT_EQ(displayRow(y), pageRow(canvas, y, PageX(AreaPage))) << y;
}

}  // namespace
}  // namespace hw
