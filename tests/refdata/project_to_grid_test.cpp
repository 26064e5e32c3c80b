#include "refdata/project_to_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "refdata/japan_map_projection.h"

namespace hw {
namespace {

// A grid of 100 units per degree both ways (x = 100 · column, y = 100 · row), so a position
// reads directly as the hundredths of a degree the projection used: gx = 100 · column +
// longitude fraction, gy = 100 · row + latitude fraction.
MapGrid HundredthsGrid() {
  MapGrid grid;
  for (int row = 0; row < MapGrid::kRows; ++row) {
    for (int column = 0; column < MapGrid::kColumns; ++column)
      grid.nodes[static_cast<std::size_t>(row * MapGrid::kColumns + column)] = {100 * column,
                                                                                100 * row};
  }
  return grid;
}

TEST(ProjectToGrid, CutsToHundredthsAndClampsToTheGrid) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    double latitude, longitude;
    int gx, gy;
  };
  const Case cases[] = {
      {35.999, 135.0, 1500, 1799},  // row 35, fraction 0.99: cut, not rounded up to 36
      {35.30, 135.0, 1500, 1729},   // 35.30 × 100 is 3529.999…: the hundredth is cut off
      {49.0, 135.0, 1500, 3099},    // at 49°N: 0.99 into the last cell, not on its node
      {60.0, 154.0, 3399, 3099},    // beyond both far edges
      {18.0, 120.0, 0, 0},          // on the first node
      {17.5, 119.5, 0, 0},          // 119.5°E: column 120 with fraction 0
      {-90.0, -180.0, 0, 0},
      {std::nextafter(49.0, 0.0), std::nextafter(154.0, 0.0), 3399, 3099},
      {kNaN, kNaN, 0, 0},
      {kInf, kInf, 3399, 3099},
      {-kInf, 1e300, 3399, 0},
  };
  const MapGrid grid = HundredthsGrid();
  for (const Case& c : cases) {
    const GridPosition p = ProjectToGrid(grid, c.latitude, c.longitude);
    EXPECT_EQ(p.gx, c.gx) << c.latitude << "N " << c.longitude << "E";
    EXPECT_EQ(p.gy, c.gy) << c.latitude << "N " << c.longitude << "E";
  }
}

TEST(ProjectToGrid, InterpolatesBetweenTheFourNodesOfTheBuiltInGrid) {
  MapGrid grid;
  BuildMapGrid(grid);
  // On a node the node itself comes out, except that a negative x + 0.5 is cut toward zero:
  // −30 gives −29.
  EXPECT_EQ(ProjectToGrid(grid, 35.0, 135.0).gx, 1416);
  EXPECT_EQ(ProjectToGrid(grid, 35.0, 135.0).gy, 1194);
  EXPECT_EQ(ProjectToGrid(grid, 18.0, 120.0).gx, -29);
  EXPECT_EQ(ProjectToGrid(grid, 18.0, 120.0).gy, 2427);

  // Half way between (35, 139) = (1735, 1189), (35, 140) = (1815, 1186), (36, 139) =
  // (1731, 1112) and (36, 140) = (1810, 1109): x = 1772.75 + 0.5, y = 1149.0 + 0.5.
  ASSERT_EQ(grid.Node(35, 140).y, 1186);
  ASSERT_EQ(grid.Node(36, 140).y, 1109);
  EXPECT_EQ(ProjectToGrid(grid, 35.5, 139.5).gx, 1773);
  EXPECT_EQ(ProjectToGrid(grid, 35.5, 139.5).gy, 1149);

  // Likewise between nodes: 0.2 of the way from −30 to 67 at 18°N is −10.6 + 0.5 = −10.1,
  // giving −10, not −11.
  EXPECT_EQ(ProjectToGrid(grid, 18.0, 120.2).gx, -10);
}

// Markers go through the grid, map pictures through the projection: anywhere on the grid the
// two must meet to within a couple of units (a picture pixel is a third of a unit).
TEST(ProjectToGrid, AgreesWithTheMapProjectionBetweenNodes) {
  MapGrid grid;
  BuildMapGrid(grid);
  double worst = 0.0;
  for (double lat = 18.0; lat < 49.0; lat += 0.37) {
    for (double lon = 120.0; lon < 154.0; lon += 0.41) {
      const GridPosition p = ProjectToGrid(grid, lat, lon);
      const MapPoint q = JapanMapProjection(lat, lon);
      worst = std::max({worst, std::abs(p.gx - q.x), std::abs(p.gy - q.y)});
    }
  }
  EXPECT_LE(worst, 2.5);
}

}  // namespace
}  // namespace hw
