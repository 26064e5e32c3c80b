#pragma once

#include <cstdint>

#include "refdata/map_grid.h"

namespace hw {

// A position on the base map of Japan in whole grid units.
struct GridPosition {
  std::int32_t gx = 0;
  std::int32_t gy = 0;
};

// Latitude and longitude to the base map by bilinear interpolation between the four MapGrid
// nodes around the point, to a hundredth of a degree (the rest is cut off, never rounded).
// Positions outside 18–49°N, 120–154°E are drawn onto the grid's border: at or below 18°N
// (120°E) onto the first row (column); at or beyond 49°N (154°E) 0.99 of the way into the last
// cell, not onto the last node. Any input is safe: NaN counts as below the grid, and values
// far outside never reach an integer conversion.
GridPosition ProjectToGrid(const MapGrid& grid, double latitude, double longitude);

}  // namespace hw
