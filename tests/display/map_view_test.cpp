#include "display/map_view.h"

#include <gtest/gtest.h>

#include <memory>

#include "refdata/area_table.h"
#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"

namespace hw {
namespace {

// A hypocentre report at 35°N 135°E whose view box is the epicentre sprite alone, so that the
// sprite's width sets the box: w = 2 · ((W / 2) / 3).
struct ViewCase {
  std::unique_ptr<AreaTable> areas = std::make_unique<AreaTable>();
  MapGrid grid;
  ThemeLayout theme;
  std::unique_ptr<LatestReport> report = std::make_unique<LatestReport>();
  std::optional<GridPosition> epicentre;

  ViewCase() {
    BuildAreaTable(*areas);
    BuildMapGrid(grid);
    report->issueType = Destination;
    report->latitude = 35.0;
    report->longitude = 135.0;
    theme.waku.ShingenWakuHeight = 6;
  }
  MapView Compute() { return ComputeMapView(*report, {*areas, grid, theme, false}, epicentre); }
};

TEST(MapView, LevelOffsetsCapsAndWriteBacks) {
  struct Case {
    const char* what;
    int spriteWidth;  // 1200 makes a box 400 wide (level 3), 3000 one 1000 wide (level 7)
    int scaleOffset;
    int scaleMax;
    int xOffset;
    int level;
    int storedScaleMax;
    int storedXOffset;
  };
  const Case cases[] = {
      {"plain level 3", 1200, 0, 0, 0, 3, 0, 0},
      {"offset -5 from level 3", 1200, -5, 0, 0, 1, 0, 0},
      {"offset +9 from level 3", 1200, 9, 0, 0, 10, 0, 0},
      {"cap 4 on level 7", 3000, 0, 4, 0, 4, 4, 0},
      {"cap -2 is stored as no cap", 3000, 0, -2, 0, 7, 0, 0},
      {"x offset 500 is used as 300", 1200, 0, 0, 500, 3, 0, 300},
      {"x offset -301 is used as -300", 1200, 0, 0, -301, 3, 0, -300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewCase v;
    v.theme.waku.ShingenWakuWidth = c.spriteWidth;
    v.theme.MapScaleOffset = c.scaleOffset;
    v.theme.MapScaleMax = c.scaleMax;
    v.theme.MapXaxisOffset = c.xOffset;
    const MapView view = v.Compute();
    EXPECT_EQ(view.level, c.level);
    EXPECT_EQ(v.theme.MapScaleMax, c.storedScaleMax);
    EXPECT_EQ(v.theme.MapXaxisOffset, c.storedXOffset);
  }
}

TEST(MapView, WidthPercentAndOffsetsMoveTheSourceRectangle) {
  struct Case {
    int percent;
    int xOffset;
    int yOffset;
    int sourceWidth;
    int originLeftOfCentre;  // cx − originX
    int originAboveCentre;   // cy − originY
  };
  // Level 3: K 640, W 1920, H 1080, Q 180; offsets convert to grid units as −4·o / 12.
  const Case cases[] = {
      {100, 0, 0, 1920, 320, 180},
      {75, 0, 0, 1440, 240, 180},
      {125, 0, 0, 2400, 400, 180},
      {100, 30, -60, 1920, 320 + 10, 180 - 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    ViewCase v;
    v.theme.waku.ShingenWakuWidth = 1200;
    v.theme.MapXaxisPercent = c.percent;
    v.theme.MapXaxisOffset = c.xOffset;
    v.theme.MapYaxisOffset = c.yOffset;
    const MapView view = v.Compute();
    ASSERT_EQ(view.level, 3);
    ASSERT_TRUE(v.epicentre.has_value());
    const GridPosition centre = *v.epicentre;  // the box is symmetric about the epicentre
    EXPECT_TRUE(view.japanOrigin);
    EXPECT_EQ(view.picture, MapPictureId::kJpMap1);
    EXPECT_EQ(centre.gx - view.originX, c.originLeftOfCentre);
    EXPECT_EQ(centre.gy - view.originY, c.originAboveCentre);
    EXPECT_EQ(view.source,
              (SourceRect{3 * view.originX + 601, 3 * view.originY + 598, c.sourceWidth, 1080}));
  }
}

TEST(MapView, EmptyBoxIsAWideLevelOneViewFarOffTheMap) {
  ViewCase v;
  v.report->issueType = Other;  // no points, no epicentre
  const MapView view = v.Compute();
  EXPECT_FALSE(v.epicentre.has_value());
  EXPECT_EQ(view.level, 1);
  EXPECT_EQ(view.picture, MapPictureId::kJpMap2);
  EXPECT_EQ(view.originX, 5000 - 160);
  EXPECT_EQ(view.originY, 5000 - 90);
  EXPECT_EQ(view.source, (SourceRect{3 * 4840 + 602, 3 * 4910 + 598, 960, 540}));
}

// Before any report the picture is the prompt map at its widest view, with every area of
// Japan on the panel.
TEST(MapView, TheWaitingPictureShowsAllOfJapan) {
  ViewCase v;
  v.report->issueType = kIssueNone;
  const MapView view =
      ComputeMapView(*v.report, {*v.areas, v.grid, v.theme, false, true}, v.epicentre);
  EXPECT_FALSE(v.epicentre.has_value());
  EXPECT_EQ(view.picture, MapPictureId::kJpMap1);
  EXPECT_EQ(view.level, 10);
  EXPECT_GE(view.source.x, 0);  // no black band beyond the picture's west edge
  for (const AreaEntry& area : v.areas->entries) {
    if (area.latitude == 0.0) continue;
    const PanelPosition at = GridToPanel(view, v.theme.MapXaxisPercent,
                                         ProjectToGrid(v.grid, area.latitude, area.longitude));
    EXPECT_TRUE(at.x >= 0 && at.x < 1920 && at.y >= 0 && at.y < 1080)
        << "area " << area.code << " at " << at.x << "," << at.y;
  }
}

TEST(MapView, PictureByReportTypeAndTheWorldView) {
  struct Case {
    int type;
    MapPictureId picture;
  };
  for (const Case& c :
       {Case{kIssueNone, MapPictureId::kNone}, Case{ScalePrompt, MapPictureId::kJpMap1},
        Case{Destination, MapPictureId::kJpMap1}, Case{ScaleAndDestination, MapPictureId::kJpMap2},
        Case{DetailScale, MapPictureId::kJpMap2}, Case{Other, MapPictureId::kJpMap2},
        Case{Foreign, MapPictureId::kWorldMap}}) {
    ViewCase v;
    v.report->issueType = c.type;
    const MapView view = v.Compute();
    EXPECT_EQ(view.picture, c.picture) << c.type;
    EXPECT_EQ(view.japanOrigin,
              c.picture == MapPictureId::kJpMap1 || c.picture == MapPictureId::kJpMap2)
        << c.type;
  }

  ViewCase world;
  world.report->issueType = Foreign;
  world.report->longitude = -170.0;
  world.report->latitude = -39.9;
  EXPECT_EQ(world.Compute().source, (SourceRect{309, 0, 3300, 1856}));
  world.report->latitude = -40.1;
  EXPECT_EQ(world.Compute().source, (SourceRect{309, 192, 3300, 1856}));
  // Coordinates from a hostile report never reach an undefined conversion.
  world.report->longitude = 1e300;
  EXPECT_EQ(world.Compute().source.width, 3300);
}

// The level tables agree with each other: a source rectangle of 3·K × 6·Q picture pixels
// fills the panel, whose corner lies K grid units right of and 2·Q below the origin. Level 4's
// width is 854 rather than 853⅓, so its far corner lands one pixel further.
TEST(MapView, EveryLevelMapsItsSourceRectangleOntoThePanel) {
  const int k[] = {320, 512, 640, 854, 1024, 1280, 1536, 1920, 2560, 3072};
  const int q[] = {90, 144, 180, 240, 288, 360, 432, 540, 720, 864};
  for (int level = 1; level <= 10; ++level) {
    SCOPED_TRACE(level);
    MapView view;
    view.level = level;
    const int K = k[level - 1];
    const int Q = q[level - 1];
    const PanelPosition corner = GridToPanel(view, 100, {K, 2 * Q});
    EXPECT_EQ(corner.x, level == 4 ? 1921 : 1920);
    EXPECT_EQ(corner.y, 1080);
    EXPECT_EQ(GridToPanel(view, 125, {K, 0}).x, (level == 4 ? 192150 : 192000) / 125);
  }
}

}  // namespace
}  // namespace hw
