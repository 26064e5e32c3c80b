#include "display/map_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "display/compose_harness.h"
#include "refdata/area_table.h"

namespace hw {
namespace {

using test::CellColour;
using test::ComposeHarness;

constexpr int kTimeKey = 294498908;

int Area(const ComposeHarness& h, std::u16string_view name) {
  return FindAreaByName(h.reference->areas, name).value_or(-1);
}

void SetPoints(LatestReport& report,
               std::initializer_list<std::pair<std::u16string_view, int>> points) {
  report.pointCount = 0;
  for (const auto& [addr, scale] : points) {
    ObservationPoint& p = report.points[static_cast<std::size_t>(report.pointCount++)];
    p.addr.Assign(addr);
    p.scale = scale;
  }
}

void MakeHypocentre(LatestReport& r, int type, int timeKey, double latitude, double longitude) {
  r.issueType = type;
  r.timeKey = timeKey;
  r.latitude = latitude;
  r.longitude = longitude;
  r.hypocenterName.Assign(u"東京都２３区");
  r.magnitude = 5.1;
  r.maxScale = -1;
  r.pointCount = 0;
}

void MakePrompt(LatestReport& r, int timeKey) {
  r.issueType = ScalePrompt;
  r.timeKey = timeKey;
  r.latitude = r.longitude = kNoCoordinate;
  r.maxScale = 40;
  SetPoints(r, {{u"東京都２３区", 40}, {u"石川県能登", 20}});
}

bool Contains(const std::vector<std::u16string>& lines, std::u16string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(MapLayerMemory, PromptShowsTheRememberedEpicentreOnlyWithinTwoMinutes) {
  for (const int minutes : {-2, 2, 3, -3}) {
    SCOPED_TRACE(minutes);
    const bool same = minutes >= -2 && minutes <= 2;
    ComposeHarness h;
    MakeHypocentre(h.report(), Destination, kTimeKey, 35.7, 139.7);
    h.Compose();
    MakePrompt(h.report(), kTimeKey + minutes);
    h.Compose();
    EXPECT_EQ(h.report().latitude, same ? 35.7 : kNoCoordinate);
    EXPECT_EQ(h.layer().record().epicentreDrawn, same);
    EXPECT_EQ(h.layer().record().epicentreGrid.has_value(), same);
  }
}

TEST(MapLayerMemory, HypocentreReportOfTheSameQuakeShowsThePromptsIntensities) {
  ComposeHarness h;
  MakePrompt(h.report(), kTimeKey);
  h.Compose();
  MakeHypocentre(h.report(), Destination, kTimeKey + 1, 35.7, 139.7);
  h.reports->history[0].maxScale = -1;
  h.Compose();

  const LatestReport& r = h.report();
  EXPECT_EQ(r.maxScale, 40);
  EXPECT_EQ(r.pointCount, 2);
  EXPECT_TRUE(Contains(
      h.log.lines, u"Event Log       ： 地震情報 … 最大震度：40 ( 1地点), 地点数：2, 津波：不明"));
  EXPECT_TRUE(Contains(h.log.lines, u"Event Log       ： エリア情報 … 20, 石川県能登"));
  const auto& markers = h.layer().record().areaMarkers;
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].index, Area(h, u"石川県能登"));  // weaker first, stronger on top
  EXPECT_EQ(markers[1].index, Area(h, u"東京都２３区"));
  EXPECT_EQ(markers[1].scale, 40);
  EXPECT_TRUE(h.layer().record().epicentreDrawn);
}

TEST(MapLayerDetail, PointsResolveToStationsAndPlacesAndUnknownsAreCounted) {
  ComposeHarness h;
  const int tokyo = Area(h, u"東京都２３区");
  h.AddStation(u"東京国際空港", 35.55, 139.78);
  h.AddPlace(u"東京大田区", tokyo);
  h.AddPlace(u"薩摩川内市", 1);
  h.AddPlace(u"薩摩川内市甑島", 2);
  h.AddPlace(u"那覇市", 3);
  LatestReport& r = h.report();
  MakeHypocentre(r, DetailScale, kTimeKey, 35.6, 139.8);
  r.maxScale = 30;
  SetPoints(r,
            {{u"東京国際空港", 30}, {u"薩摩川内市甑島", 20}, {u"那覇空港", 10}, {u"未知の町", 5}});
  h.Compose();

  const ReferenceTables& t = *h.reference;
  EXPECT_EQ(t.stations[0].observedScale, 30);
  EXPECT_EQ(t.areas[tokyo].observedScale, 30);  // the airport counts for Ota ward's area
  EXPECT_EQ(t.areas[1].observedScale, 0);       // the island is not Satsumasendai's
  EXPECT_EQ(t.areas[2].observedScale, 20);
  EXPECT_EQ(t.areas[3].observedScale, 10);  // no station, but a place
  EXPECT_EQ(h.layer().UnknownPointName(), u"未知の町");
  EXPECT_EQ(h.layer().UnknownAreaCount(), 1);

  const std::u16string x(97, u'x');
  const std::vector<std::u16string> expected = {
      u"Event Log       ： エリア情報 … 30, 東京大田区, 東京国際空港",
      x,
      u"Event Log       ： 未定義・緯度経度    … 薩摩川内市甑島",
      x,
      u"Event Log       ： エリア情報 … 20, 薩摩川内市甑島, 薩摩川内市甑島",
      x,
      u"Event Log       ： 未定義・緯度経度    … 那覇空港",
      x,
      u"Event Log       ： エリア情報 … 10, 那覇市, 那覇空港",
      x,
      u"Event Log       ： 未定義・緯度経度    … 未知の町",
      x,
      x,
      u"Event Log       ： 未定義エリア(#01) … 未知の町",
      x,
      std::u16string(97, u'='),
  };
  ASSERT_GE(h.log.lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::u16string>(h.log.lines.end() - static_cast<long>(expected.size()),
                                        h.log.lines.end()),
            expected);
}

TEST(MapLayerMarkers, StrongestStationOfAnAreaMarksItAndStrongerMarkersComeLater) {
  ComposeHarness h;
  const int tokyo = Area(h, u"東京都２３区");
  const int noto = Area(h, u"石川県能登");
  h.AddStation(u"東京千代田区", 35.69, 139.75);
  h.AddStation(u"東京港区", 35.0, 140.3);  // far enough not to cover the first
  h.AddStation(u"輪島市", 37.39, 136.90);
  h.AddPlace(u"東京", tokyo);
  h.AddPlace(u"輪島市", noto);
  LatestReport& r = h.report();
  MakeHypocentre(r, DetailScale, kTimeKey, 36.5, 138.0);
  r.maxScale = 50;
  SetPoints(r, {{u"東京千代田区", 30}, {u"東京港区", 50}, {u"輪島市", 30}});
  h.Compose();

  const MapLayerRecord& record = h.layer().record();
  ASSERT_EQ(record.areaMarkers.size(), 2u);
  EXPECT_EQ(record.areaMarkers[0].index, noto);
  EXPECT_EQ(record.areaMarkers[0].scale, 30);
  EXPECT_EQ(record.areaMarkers[1].index, tokyo);
  EXPECT_EQ(record.areaMarkers[1].scale, 50);
  ASSERT_EQ(record.stationMarkers.size(), 3u);
  EXPECT_EQ(record.stationMarkers[0].index, 0);
  EXPECT_EQ(record.stationMarkers[1].index, 2);
  EXPECT_EQ(record.stationMarkers[2].index, 1);

  // Each marker shows its intensity's cell at its position: areas on the area page, stations
  // on the station page only.
  for (const auto& m : record.areaMarkers) {
    EXPECT_EQ(h.PagePixel(AreaPage, m.x, m.y), CellColour(*ScaleCellTable(m.scale)));
  }
  for (const auto& m : record.stationMarkers) {
    EXPECT_EQ(h.PagePixel(StationPage, m.x, m.y), CellColour(*ScaleCellTable(m.scale)));
    EXPECT_EQ(h.PagePixel(StationPageNoEpicentre, m.x, m.y), CellColour(*ScaleCellTable(m.scale)));
  }
  const auto& station = record.stationMarkers[0];
  EXPECT_NE(h.PagePixel(AreaPage, station.x, station.y), CellColour(3));
}

TEST(MapLayerMarkers, ScaleCodesMapToSheetCells) {
  const std::pair<int, std::optional<int>> cases[] = {{-1, std::nullopt},
                                                      {0, 0},
                                                      {9, 0},
                                                      {10, 1},
                                                      {39, 3},
                                                      {40, 4},
                                                      {44, 4},
                                                      {45, 5},
                                                      {46, 5},
                                                      {50, 6},
                                                      {55, 7},
                                                      {60, 8},
                                                      {69, 8},
                                                      {70, 9},
                                                      {79, 9},
                                                      {80, std::nullopt}};
  for (const auto& [scale, cell] : cases)
    EXPECT_EQ(ScaleCellTable(scale), cell) << scale;
}

// Whether the two pages differ anywhere outside `rect` (page coordinates).
bool DifferOutside(const ComposeHarness& h, int pageA, int pageB, const Rect& rect) {
  for (int y = 0; y < kPageHeight; ++y) {
    for (int x = 0; x < kPageWidth; ++x) {
      const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
      if (!inside && h.PagePixel(pageA, x, y) != h.PagePixel(pageB, x, y)) return true;
    }
  }
  return false;
}

int ColourOutside(const ComposeHarness& h, int page, const Rect& rect, COLORREF colour) {
  int count = 0;
  for (int y = 0; y < kPageHeight; ++y) {
    for (int x = 0; x < kPageWidth; ++x) {
      const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
      if (!inside && h.PagePixel(page, x, y) == colour) ++count;
    }
  }
  return count;
}

// The overlay form leaves the map out: its place is the key colour on every view page, and the
// epicentre and the markers come only when asked for.
TEST(MapLayerOverlay, KeyColourInsteadOfTheMapAndMarkersOnlyWhenAsked) {
  constexpr COLORREF kKey = MakeColorRef(255, 0, 255);
  for (const int markers : {0, 1}) {
    SCOPED_TRACE(markers);
    ComposeHarness h;
    h.Overlay = 1;
    h.OverlayMarkers = markers;
    h.KeyColour = kKey;
    MakeHypocentre(h.report(), Destination, kTimeKey, 35.7, 139.7);
    h.Compose();
    for (const int page : {AreaPage, StationPage, AreaPageNoEpicentre, StationPageNoEpicentre}) {
      EXPECT_EQ(h.PagePixel(page, 5, 540), kKey);
    }
    EXPECT_EQ(h.layer().record().epicentreDrawn, markers == 1);
    const Rect rect = h.layer().EpicentreRect();
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    EXPECT_EQ(h.PagePixel(AreaPage, cx, cy), markers == 1 ? test::kEpicentreColour : kKey);
  }
}

TEST(MapLayerEpicentre, FrontEpicentreLeavesPagesOneAndThreeWithoutIt) {
  for (const int front : {0, 1}) {
    SCOPED_TRACE(front);
    ComposeHarness h;
    h.EpiFront = front;
    MakeHypocentre(h.report(), Destination, kTimeKey, 35.7, 139.7);
    h.Compose();
    const Rect rect = h.layer().EpicentreRect();
    ASSERT_GT(rect.Width(), 0);
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    EXPECT_EQ(h.PagePixel(AreaPage, cx, cy), test::kEpicentreColour);
    EXPECT_EQ(h.PagePixel(StationPage, cx, cy), test::kEpicentreColour);
    EXPECT_FALSE(DifferOutside(h, AreaPage, AreaPageNoEpicentre, rect));
    EXPECT_FALSE(DifferOutside(h, AreaPage, StationPage, {}));  // no stations: equal pages
    const COLORREF hidden = h.PagePixel(AreaPageNoEpicentre, cx, cy);
    if (front == 1) {
      EXPECT_EQ(hidden, test::kJapanMapColour);
      EXPECT_EQ(h.PagePixel(StationPageNoEpicentre, cx, cy), test::kJapanMapColour);
    } else {
      EXPECT_EQ(hidden, test::kEpicentreColour);
    }
    // The sprite lies inside its rectangle only.
    EXPECT_EQ(ColourOutside(h, AreaPage, rect, test::kEpicentreColour), 0);
  }
}

TEST(MapLayerEpicentre, EpicentreOnTheGridsEdgeIsLeftOutAndClearsItsRectangle) {
  ComposeHarness h;
  MakeHypocentre(h.report(), Destination, kTimeKey, 35.7, 139.7);
  h.Compose();
  ASSERT_NE(h.layer().EpicentreRect(), Rect{});
  for (const auto& [latitude, longitude] : {std::pair{49.0, 139.7}, std::pair{35.7, 154.0}}) {
    MakeHypocentre(h.report(), Destination, kTimeKey + 100, latitude, longitude);
    h.Compose();
    EXPECT_EQ(h.layer().EpicentreRect(), Rect{});
    EXPECT_FALSE(h.layer().record().epicentreDrawn);
  }
  // Reports without an epicentre keep the last rectangle.
  MakeHypocentre(h.report(), Destination, kTimeKey + 200, 35.7, 139.7);
  h.Compose();
  const Rect kept = h.layer().EpicentreRect();
  h.report().issueType = Other;
  h.Compose();
  EXPECT_EQ(h.layer().EpicentreRect(), kept);
}

TEST(MapLayerEpicentre, ForeignEpicentreLiesAtTheWorldViewsCentreColumn) {
  ComposeHarness h;
  MakeHypocentre(h.report(), Foreign, kTimeKey, -45.0, -180.0);
  h.Compose();
  const MapLayerRecord& record = h.layer().record();
  EXPECT_EQ(record.view.source, (SourceRect{test::kWorldLine - 1650, 192, 3300, 1856}));
  // ey = trunc(135 × 6) = 810, the sprite 74 × 74 centred at x 967.
  EXPECT_EQ(h.layer().EpicentreRect(), (Rect{930, 768, 1004, 842}));
  EXPECT_EQ(h.PagePixel(AreaPage, 960, 100), kWhite);
  EXPECT_NE(h.PagePixel(AreaPage, 958, 100), kWhite);
  EXPECT_EQ(h.PagePixel(AreaPage, 967, 805), test::kEpicentreColour);
  EXPECT_TRUE(h.layer().record().areaMarkers.empty());
}

// A map whose pixels tell the part of it that was asked for, counting its stretches.
class CountingMap final : public MapPicture {
 public:
  int width() const override { return 11520; }
  int height() const override { return 8778; }
  bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int, int) override {
    ++stretches;
    dst.FillRect(x, y, w, h, MakeColorRef(sx & 0xFF, sy & 0xFF, 7));
    return true;
  }
  int stretches = 0;
};

TEST(MapLayerMap, TheLastMapIsKeptForTheSameViewOfTheSamePicture) {
  ComposeHarness h;
  auto owned = std::make_unique<CountingMap>();
  CountingMap* map = owned.get();
  h.surfaces[JpMap1Surface].map = std::move(owned);
  h.surfaces[JpMap2Surface].map.reset();
  MakePrompt(h.report(), kTimeKey);
  h.Compose();
  ASSERT_EQ(map->stretches, 1);
  const COLORREF first = h.PagePixel(AreaPage, 5, 5);
  // The same view again: the kept map, with the same pixels (the markers drawn over it anew).
  h.Compose();
  EXPECT_EQ(map->stretches, 1);
  EXPECT_EQ(h.PagePixel(AreaPage, 5, 5), first);
  // Another view is stretched again.
  SetPoints(h.report(), {{u"石川県能登", 20}});
  h.Compose();
  EXPECT_EQ(map->stretches, 2);
  // A new picture in the old one's place is never taken for it.
  MakePrompt(h.report(), kTimeKey);
  auto replaced = std::make_unique<CountingMap>();
  CountingMap* second = replaced.get();
  h.surfaces[JpMap1Surface].map = std::move(replaced);
  h.Compose();
  EXPECT_EQ(second->stretches, 1);
}

}  // namespace
}  // namespace hw
