#include "display/city_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/compose_harness.h"
#include "display/municipality_list.h"

namespace hw {
namespace {

using test::ComposeHarness;
using test::kJapanMapColour;

// The grid frame sheet with one colour per piece, so that every piece is found on the page.
constexpr COLORREF kTop = MakeColorRef(200, 0, 0);
constexpr COLORREF kLeft = MakeColorRef(0, 200, 0);
constexpr COLORREF kRight = MakeColorRef(0, 0, 200);
constexpr COLORREF kBottom = MakeColorRef(200, 200, 0);
constexpr COLORREF kTopRight = MakeColorRef(0, 200, 200);
constexpr COLORREF kBottomRight = MakeColorRef(200, 0, 200);
constexpr COLORREF kInnerCorner = MakeColorRef(120, 60, 30);
constexpr COLORREF kField = MakeColorRef(255, 255, 255);

Surface FrameSheet() {
  Surface sheet(351, 78);
  sheet.Fill(kSpriteKey);
  sheet.FillRect(0, 0, 337, 7, kTop);
  sheet.FillRect(0, 71, 337, 7, kBottom);
  sheet.FillRect(0, 7, 7, 64, kLeft);
  sheet.FillRect(337, 7, 7, 64, kRight);
  sheet.FillRect(337, 0, 7, 7, kTopRight);
  sheet.FillRect(337, 71, 7, 7, kBottomRight);
  sheet.FillRect(344, 0, 7, 7, kInnerCorner);
  sheet.FillRect(7, 7, 330, 64, kField);
  return sheet;
}

// A prompt report whose first `count` points have the maximum intensity 40.
void PromptWithPlaces(ComposeHarness& h, const std::vector<std::u16string>& names) {
  LatestReport& r = h.report();
  r.issueType = ScalePrompt;
  r.timeKey = 294498908;
  r.maxScale = 40;
  r.pointCount = 0;
  for (const std::u16string& name : names) {
    ObservationPoint& p = r.points[static_cast<std::size_t>(r.pointCount++)];
    p.addr.Assign(name);
    p.pref.Assign(u"北海道");
    p.scale = 40;
  }
}

std::vector<std::u16string> Names(int count, std::u16string_view name) {
  return std::vector<std::u16string>(static_cast<std::size_t>(count), std::u16string(name));
}

TEST(CityGrid, TwelvePlacesInColumnsOfFiveMakeOneFrameWithAStep) {
  ComposeHarness h;
  h.surfaces[CityTableSurface].surface = FrameSheet();
  h.theme.table.City.maxColumn = 5;
  PromptWithPlaces(h, Names(12, u"札幌"));
  h.Compose();
  const int x0 = h.theme.table.City.wakuRcLeft;
  const int y0 = h.theme.table.City.wakuRcTop;
  const auto at = [&](int dx, int dy) { return h.PagePixel(AreaPage, x0 + dx, y0 + dy); };
  // Columns 5, 5 and 2: top along all three, left border 5 cells high, full bottoms.
  for (const int dx : {100, 400, 800})
    EXPECT_EQ(at(dx, 3), kTop) << dx;
  EXPECT_EQ(at(3, 200), kLeft);
  EXPECT_EQ(at(100, 330), kBottom);
  EXPECT_EQ(at(400, 330), kBottom);
  // The last column: right border two cells high, its own bottom, corners.
  EXPECT_EQ(at(1000, 3), kTopRight);
  EXPECT_EQ(at(1000, 100), kRight);
  EXPECT_EQ(at(1000, 138), kBottomRight);
  EXPECT_EQ(at(800, 138), kBottom);
  EXPECT_EQ(at(1000, 200), test::kJapanMapColour);
  // The step: the second column's right border runs down beside the shorter last column.
  EXPECT_EQ(at(670, 138), kInnerCorner);
  EXPECT_EQ(at(670, 200), kRight);
  EXPECT_EQ(at(670, 330), kBottomRight);
  EXPECT_EQ(at(800, 200), test::kJapanMapColour);  // no cell there
  // Cells are shaded with the sheet's field, at constant opacity 96.
  const COLORREF shaded = at(767, 37);
  EXPECT_NE(shaded, test::kJapanMapColour);
  EXPECT_NE(shaded, kField);
  // The same frame on the station pages (pass B).
  EXPECT_EQ(h.PagePixel(StationPageNoEpicentre, x0 + 670, y0 + 138), kInnerCorner);
}

TEST(CityGrid, NamesAreCutToMaxRowAndOutlined) {
  ComposeHarness h;
  h.theme.table.City.maxRow = 4;
  PromptWithPlaces(h, {u"七文字の地名だ"});
  h.Compose();
  std::vector<test::FakeTextRenderer::DrawCall> cell;
  for (const auto& call : h.text.draws) {
    if (call.font == h.fonts[CityHeaderFont]) cell.push_back(call);
  }
  ASSERT_EQ(cell.size(), 2u * 9u);  // nine times per pass
  const COLORREF dark = MakeColorRef(0x50, 0x50, 0x50);
  const COLORREF mid = MakeColorRef(0x70, 0x70, 0x70);
  const std::pair<int, int> offsets[] = {{-4, -4}, {-4, 4}, {4, 4},  {4, -4}, {-1, -1},
                                         {-1, 1},  {1, 1},  {1, -1}, {0, 0}};
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(cell[i].text, u"七文字の");
    EXPECT_EQ(cell[i].color, i < 4 ? dark : i < 8 ? mid : kWhite) << i;
    EXPECT_EQ(cell[i].rect, (Rect{14 + offsets[i].first, 2 + offsets[i].second, 330, 64})) << i;
  }
}

// What a composition leaves in a cell's table area is cleared before the next one: a shorter
// name in the fifth column shows without the longer one under it.
TEST(CityGrid, NoNameOfAnEarlierCompositionSurvives) {
  ComposeHarness h;
  h.text.paint = true;
  h.theme.table.City.maxCount = 55;
  PromptWithPlaces(h, Names(50, u"六文字の地名"));
  h.Compose();
  const int x = h.theme.table.City.rcLeft + 4 * 330 + 14 + 12;  // in the fifth column's name
  const int y = h.theme.table.City.rcTop + 64 / 2 + 2;
  ASSERT_EQ(h.PagePixel(AreaPage, x, y), kWhite);
  PromptWithPlaces(h, Names(50, u"二文"));
  h.Compose();
  EXPECT_NE(h.PagePixel(AreaPage, x, y), kWhite);
  EXPECT_EQ(h.PagePixel(AreaPage, x - 8, y), kWhite);
}

// The list form: bars, prefectures and lines for the test's points.
struct ListCase {
  ComposeHarness h;
  ListCase(int maxRow, int maxColumn) {
    TableLayout& city = h.theme.table.City;
    city.type = 2;
    city.maxRow = maxRow;
    city.maxColumn = maxColumn;
    h.SheetSprite(BarIntensitySurface, 480, 40, 10, true);
    LatestReport& r = h.report();
    r.issueType = ScalePrompt;
    r.timeKey = 294498908;
    r.maxScale = 50;
    const struct {
      std::u16string_view addr, pref;
      int scale;
    } points[] = {{u"札幌市", u"北海道", 50},
                  {u"那覇市", u"沖縄県", 50},
                  {u"浦添市", u"沖縄県", 50},
                  {u"宜野湾市", u"沖縄県", 40}};
    for (const auto& p : points) {
      ObservationPoint& point = r.points[static_cast<std::size_t>(r.pointCount++)];
      point.addr.Assign(p.addr);
      point.pref.Assign(p.pref);
      point.scale = p.scale;
    }
  }
  // The lines of pass A: (line, prefix, names).
  std::vector<std::tuple<int, std::u16string, std::u16string>> Lines() const {
    std::vector<std::tuple<int, std::u16string, std::u16string>> lines;
    const TableLayout& city = h.theme.table.City;
    std::u16string prefix;
    for (const auto& call : h.text.draws) {
      if (call.font == h.fonts[CityTableBoldFont]) prefix = call.text;
      if (call.font != h.fonts[CityTableFont]) continue;
      const int line = (call.rect.top - city.rcTop) / (40 + city.scaleOff);
      if (!lines.empty() && std::get<0>(lines.front()) == line) break;  // pass B begins
      lines.emplace_back(line, prefix, call.text);
    }
    return lines;
  }
  COLORREF BarAt(int line) const {
    const TableLayout& city = h.theme.table.City;
    return h.PagePixel(AreaPage, city.rcLeft + 5, city.rcTop + 40 * line + 5);
  }
};

TEST(CityList, GroupsByIntensityAndPrefectureWithBars) {
  ListCase c(8, 10);
  c.h.Compose();
  using Line = std::tuple<int, std::u16string, std::u16string>;
  // Prefectures fall by their first characters within an intensity: 沖縄 before 北海.
  EXPECT_EQ(c.Lines(), (std::vector<Line>{{1, u"沖縄県", u"那覇市　浦添市　"},
                                          {2, u"北海道", u"札幌市　"},
                                          {4, u"沖縄県", u"宜野湾市　"}}));
  EXPECT_EQ(c.BarAt(0), ComposeHarness::SheetColour(6));  // intensity 5+
  EXPECT_EQ(c.BarAt(3), ComposeHarness::SheetColour(4));  // intensity 4
  // The order stays in the report.
  EXPECT_EQ(c.h.report().points[0].addr, u"那覇市");
}

TEST(CityList, LongGroupsContinueWithoutPrefixAndMaxColumnCuts) {
  ListCase narrow(4, 10);  // room for one name a line
  narrow.h.Compose();
  using Line = std::tuple<int, std::u16string, std::u16string>;
  EXPECT_EQ(narrow.Lines(), (std::vector<Line>{{1, u"沖縄県", u"那覇市　"},
                                               {2, u" ", u"浦添市　"},
                                               {3, u"北海道", u"札幌市　"},
                                               {5, u"沖縄県", u"宜野湾市　"}}));

  ListCase oneLine(8, 1);
  oneLine.h.Compose();
  EXPECT_TRUE(oneLine.Lines().empty());
  EXPECT_EQ(oneLine.BarAt(0), ComposeHarness::SheetColour(6));
}

// The names are white on the map: the map under the list is dimmed, from the first bar to
// the last line and as wide as the longest line, so that markers there do not hide them.
TEST(CityList, NamesLieOnAShadeAsWideAsTheLongestLine) {
  ListCase c(8, 10);
  c.h.report().issueType = Other;  // the map of Japan in one colour, no markers
  c.h.Compose();
  const TableLayout& city = c.h.theme.table.City;
  // The longest line, 那覇市　浦添市　, is 8 characters of 24 pixels from the indent at 140.
  const int right = city.rcLeft + 140 + 8 * 24;
  const int y = city.rcTop + 40 * 4 + 30;  // under the last line, below its text
  const COLORREF under = c.h.PagePixel(AreaPage, right - 20, y);
  EXPECT_NE(under, kJapanMapColour);
  EXPECT_LT(under & 0xFF, kJapanMapColour & 0xFF);
  EXPECT_EQ(c.h.PagePixel(AreaPage, right + 20, y), kJapanMapColour);
  EXPECT_EQ(c.h.PagePixel(AreaPage, right - 20, city.rcTop + 40 * 5 + 20), kJapanMapColour);
}

// A bar reaching past the table's right edge is cut there: what lands beyond it would come
// back at the left of the page with every later clear.
TEST(CityList, BarsStopAtThePageEdgeAndLeaveNoGhosts) {
  ListCase c(8, 10);
  c.h.theme.table.City.rcLeft = 1500;  // a 480-pixel bar reaches x 1980
  const int barTop = c.h.theme.table.City.rcTop + 5;
  c.h.Compose();
  ASSERT_EQ(c.h.PagePixel(AreaPage, kPageWidth - 1, barTop), ComposeHarness::SheetColour(6));
  c.h.report().maxScale = 40;
  for (int i = 0; i < c.h.report().pointCount; ++i)
    c.h.report().points[i].scale = 40;
  c.h.Compose();
  for (int page : {AreaPage, AreaPageNoEpicentre, StationPage, StationPageNoEpicentre}) {
    for (int x = 0; x < 80; ++x) {
      for (COLORREF bar : {ComposeHarness::SheetColour(6), ComposeHarness::SheetColour(4)}) {
        ASSERT_NE(c.h.PagePixel(page, x, barTop), bar) << page << " " << x;
      }
    }
  }
}

// The comment lines of pass A: (line, text).
std::vector<std::pair<int, std::u16string>> CommentLines(const ComposeHarness& h) {
  std::vector<std::pair<int, std::u16string>> lines;
  const TableLayout& comm = h.theme.table.Comm;
  for (const auto& call : h.text.draws) {
    if (call.font == h.fonts[CommTableFont]) {
      lines.emplace_back((call.rect.top - comm.rcTop) / (40 + comm.scaleOff), call.text);
    }
  }
  return lines;
}

TEST(CommentTable, BreaksAndFullLines) {
  using Lines = std::vector<std::pair<int, std::u16string>>;
  struct Case {
    std::u16string comment;
    int maxCount;
    Lines lines;
  };
  const Case cases[] = {
      {u"\u3000あいう", 1000, {{0, u""}, {1, u"あいう"}}},  // a leading break: an empty line
      {u"あ", 1000, {{0, u"あ"}}},
      {u"あいう\u3000", 1000, {{0, u"あいう"}}},  // the text before a trailing break
      {u"あいうえおかき", 1000, {{0, u"あいうえお"}, {1, u"かき"}}},
      {u"あい\u3000\u3000うえ", 1000, {{0, u"あい"}, {1, u"うえ"}}},
      {u"あいう", 2, {{0, u"あい"}}},
  };
  for (const Case& c : cases) {
    ComposeHarness h;
    TableLayout& comm = h.theme.table.Comm;
    comm.type = 1;
    comm.maxRow = 5;
    comm.maxColumn = 10;
    comm.maxCount = c.maxCount;
    h.report().commentText.Assign(c.comment);
    h.report().commentLength = static_cast<int>(c.comment.size());
    h.Compose();
    EXPECT_EQ(CommentLines(h), c.lines) << c.comment.size();
  }
}

TEST(CommentTable, ListFormPushesItDown) {
  ListCase c(8, 10);
  TableLayout& comm = c.h.theme.table.Comm;
  comm.type = 2;
  comm.maxColumn = 20;
  c.h.report().commentText.Assign(u"あ");
  c.h.report().commentLength = 1;
  c.h.Compose();
  // The list's last line is line 4: the comment starts two lines below it.
  EXPECT_EQ(CommentLines(c.h), (std::vector<std::pair<int, std::u16string>>{{6, u"あ"}}));
}

// The municipality list of a detailed report, built directly for one pass.
struct Municipalities {
  ComposeHarness h;
  ComposeInputs in{*h.reports, h.theme, *h.reference,         h.surfaces,
                   h.fonts,    h.text,  h.display.settings(), h.log};

  Municipalities() {
    BuildAreaPrefectureTable(h.reference->areaPrefectures);
    h.report().issueType = DetailScale;
  }
  std::vector<std::pair<std::u16string, int>> Build(ComposePass pass) {
    const LatestReport saved = h.report();
    BuildMunicipalityList(in, pass);
    std::vector<std::pair<std::u16string, int>> places;
    for (int i = 0; i < h.report().pointCount; ++i) {
      const ObservationPoint& p = h.report().points[static_cast<std::size_t>(i)];
      places.emplace_back(std::u16string(p.addr.View()), p.scale);
    }
    h.report() = saved;
    return places;
  }
};

TEST(MunicipalityList, PlacesTakeTheirStrongestPointAndOnlyTheWalkFromTheMaximum) {
  Municipalities m;
  m.h.AddPlace(u"厚真町", 10);
  m.h.AddPlace(u"札幌北区", 1);
  m.h.AddPlace(u"安平町", 12);
  m.h.SetPoints({{u"厚真町鹿沼", 46}, {u"安平町早来北進", 20}, {u"札幌北区太平", 30}});
  m.h.report().maxScale = 46;  // off the walk 70 … 10: only places of exactly 46
  using Places = std::vector<std::pair<std::u16string, int>>;
  EXPECT_EQ(m.Build(ComposePass::kA), (Places{{u"厚真町", 46}}));
  m.h.report().maxScale = 30;
  EXPECT_EQ(m.Build(ComposePass::kA), (Places{{u"札幌北区", 30}, {u"安平町", 20}}));
}

TEST(MunicipalityList, PassBRenamesByLandAreaAndKeepsMoreIslandsApart) {
  Municipalities m;
  m.h.AddPlace(u"酒田市", 1);
  m.h.AddPlace(u"酒田市飛島", 2);
  m.h.AddPlace(u"松山市", 3);
  m.h.AddPlace(u"松山市中島", 4);
  m.h.AddPlace(u"甑島", 5);
  LandAreaEntry& rename = m.h.reference->landAreas[m.h.reference->landAreas.count++];
  rename.from.Assign(u"薩摩川内市里町");
  rename.to.Assign(u"甑島");
  m.h.SetPoints({{u"酒田市飛島", 20}, {u"松山市中島大浦", 20}, {u"薩摩川内市里町", 20}});
  m.h.report().maxScale = 20;
  using Places = std::vector<std::pair<std::u16string, int>>;
  // 松山市中島大浦 is not fixed for the list, so 松山市 claims it in both passes.
  EXPECT_EQ(m.Build(ComposePass::kA), (Places{{u"酒田市", 20}, {u"松山市", 20}}));
  EXPECT_EQ(m.Build(ComposePass::kB),
            (Places{{u"酒田市飛島", 20}, {u"松山市", 20}, {u"甑島", 20}}));
}

TEST(MunicipalityList, TheComposerPutsTheReportsPointsBack) {
  ComposeHarness h;
  h.AddPlace(u"厚真町", 10);
  LatestReport& r = h.report();
  r.issueType = DetailScale;
  r.maxScale = 50;
  h.SetPoints({{u"厚真町鹿沼", 50}, {u"厚真町京町", 40}});
  h.Compose();
  EXPECT_EQ(r.pointCount, 2);
  EXPECT_EQ(r.points[1].addr, u"厚真町京町");
  EXPECT_EQ(r.MaxScalePointCount, 1);
}

}  // namespace
}  // namespace hw
