#include "refdata/map_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "refdata/japan_map_projection.h"

namespace hw {
namespace {

MapGrid Built() {
  MapGrid grid;
  BuildMapGrid(grid);
  return grid;
}

TEST(MapGrid, KeepsTheCalibrationNodesExactly) {
  struct Case {
    int latitude, longitude, x, y;
  };
  const Case cases[] = {
      {49, 120, 430, 50},    {49, 154, 2662, 14},   {18, 120, -30, 2427},  {18, 154, 3251, 2391},
      {30, 120, 150, 1504},  {30, 130, 992, 1571},  {30, 139, 1755, 1574}, {30, 142, 2008, 1562},
      {30, 154, 3023, 1467}, {35, 120, 223, 1123},  {35, 130, 1017, 1186}, {35, 139, 1735, 1189},
      {35, 142, 1975, 1179}, {35, 154, 2928, 1084}, {40, 120, 296, 742},   {40, 130, 1041, 801},
      {40, 139, 1716, 804},  {40, 142, 1940, 794},  {40, 154, 2833, 704},  {35, 135, 1416, 1194},
  };
  const MapGrid grid = Built();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.latitude << "N " << c.longitude << "E");
    EXPECT_EQ(grid.Node(c.latitude, c.longitude).x, c.x);
    EXPECT_EQ(grid.Node(c.latitude, c.longitude).y, c.y);
  }
  // Storage is row-major from 18°N, 120°E.
  EXPECT_EQ(grid.nodes[(35 - 18) * 35 + (135 - 120)].y, 1194);

  const int centralY[] = {2513, 2435, 2357, 2279, 2201, 2123, 2045, 1967, 1889, 1811, 1734,
                          1656, 1579, 1502, 1425, 1348, 1271, 1194, 1117, 1040, 963,  886,
                          809,  732,  654,  577,  499,  421,  342,  264,  185,  106};
  for (int row = 0; row < MapGrid::kRows; ++row) {
    EXPECT_EQ(grid.Node(18 + row, 135).x, 1416) << 18 + row;
    EXPECT_EQ(grid.Node(18 + row, 135).y, centralY[row]) << 18 + row;
  }
}

TEST(MapGrid, IsAMirrorImageAboutTheCentralMeridianWithArcsForParallels) {
  const MapGrid grid = Built();
  for (int lat = MapGrid::kFirstLatitude; lat <= MapGrid::kLastLatitude; ++lat) {
    for (int k = 1; k <= 15; ++k) {
      SCOPED_TRACE(testing::Message() << lat << "N ±" << k);
      const MapGridNode& east = grid.Node(lat, 135 + k);
      const MapGridNode& west = grid.Node(lat, 135 - k);
      EXPECT_GE(east.x + west.x, 2830);
      EXPECT_LE(east.x + west.x, 2833);
      EXPECT_EQ(east.y, west.y);
    }
    // The southernmost point of every parallel lies on 135°E, and x grows eastwards.
    for (int lon = MapGrid::kFirstLongitude; lon < MapGrid::kLastLongitude; ++lon) {
      EXPECT_LE(grid.Node(lat, lon).y, grid.Node(lat, 135).y) << lat << "N " << lon << "E";
      EXPECT_LT(grid.Node(lat, lon).x, grid.Node(lat, lon + 1).x) << lat << "N " << lon << "E";
    }
  }
}

TEST(MapGrid, MeridiansAreStraightAndConvergeNorthwards) {
  const MapGrid grid = Built();
  for (int lon = MapGrid::kFirstLongitude; lon <= MapGrid::kLastLongitude; ++lon) {
    // Distance of each node from the column's best-fitting line (its principal axis).
    double mx = 0.0, my = 0.0;
    for (int lat = 18; lat <= 49; ++lat) {
      mx += grid.Node(lat, lon).x / 32.0;
      my += grid.Node(lat, lon).y / 32.0;
    }
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (int lat = 18; lat <= 49; ++lat) {
      const double dx = grid.Node(lat, lon).x - mx, dy = grid.Node(lat, lon).y - my;
      sxx += dx * dx;
      syy += dy * dy;
      sxy += dx * dy;
    }
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    const double nx = -std::sin(angle), ny = std::cos(angle);
    double worst = 0.0;
    for (int lat = 18; lat <= 49; ++lat) {
      const double dx = grid.Node(lat, lon).x - mx, dy = grid.Node(lat, lon).y - my;
      worst = std::max(worst, std::abs(dx * nx + dy * ny));
      if (lat < 49) {
        EXPECT_GT(grid.Node(lat, lon).y, grid.Node(lat + 1, lon).y);
      }
    }
    EXPECT_LE(worst, 2.0) << lon << "E";
  }
  // Converging: the span between the outer meridians shrinks northwards.
  EXPECT_GT(grid.Node(18, 154).x - grid.Node(18, 120).x,
            grid.Node(49, 154).x - grid.Node(49, 120).x);
}

// The table was generated from the projection, which the map pictures are drawn with: every
// node lies within the fit's error (1.29 units at the calibration nodes) of it.
TEST(MapGrid, FollowsTheMapProjection) {
  const MapGrid grid = Built();
  for (int lat = MapGrid::kFirstLatitude; lat <= MapGrid::kLastLatitude; ++lat) {
    for (int lon = MapGrid::kFirstLongitude; lon <= MapGrid::kLastLongitude; ++lon) {
      const MapPoint p = JapanMapProjection(lat, lon);
      EXPECT_LE(std::abs(grid.Node(lat, lon).x - p.x), 1.3) << lat << "N " << lon << "E";
      EXPECT_LE(std::abs(grid.Node(lat, lon).y - p.y), 1.3) << lat << "N " << lon << "E";
    }
  }
}

// Map pictures also show land beyond the grid: there the projection must stay smooth and keep
// its orientation instead of following the corrections fitted inside.
TEST(JapanMapProjection, StaysOrientedAndContinuousBeyondTheGrid) {
  for (const double lon : {100.0, 118.0, 135.0, 156.0, 175.0}) {
    for (double lat = -60.0; lat < 80.0; lat += 0.5) {
      EXPECT_GT(JapanMapProjection(lat, lon).y, JapanMapProjection(lat + 0.5, lon).y)
          << lat << "N " << lon << "E";
    }
  }
  for (const double lat : {0.0, 15.0, 35.0, 52.0, 70.0}) {
    for (double lon = 80.0; lon < 190.0; lon += 0.5) {
      EXPECT_LT(JapanMapProjection(lat, lon).x, JapanMapProjection(lat, lon + 0.5).x)
          << lat << "N " << lon << "E";
    }
  }
  struct Edge {
    double lat, lon, dLat, dLon;
  };
  for (const Edge& e : {Edge{49.0, 150.0, 1e-7, 0}, Edge{18.0, 130.0, -1e-7, 0},
                        Edge{30.0, 154.0, 0, 1e-7}, Edge{49.0, 154.0, 1e-7, 1e-7}}) {
    const MapPoint inside = JapanMapProjection(e.lat, e.lon);
    const MapPoint outside = JapanMapProjection(e.lat + e.dLat, e.lon + e.dLon);
    EXPECT_NEAR(inside.x, outside.x, 1e-3) << e.lat << "N " << e.lon << "E";
    EXPECT_NEAR(inside.y, outside.y, 1e-3) << e.lat << "N " << e.lon << "E";
  }
  const MapPoint pole = JapanMapProjection(-90.0, 135.0);
  EXPECT_TRUE(std::isfinite(pole.x) && std::isfinite(pole.y));
  EXPECT_TRUE(std::isfinite(JapanMapProjection(-1000.0, -1000.0).y));
}

}  // namespace
}  // namespace hw
