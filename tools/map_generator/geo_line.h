#pragma once

#include <vector>

namespace hw::mapgen {

// A position on the globe in degrees: longitude first, as map data stores it.
struct GeoPoint {
  double lon = 0.0;
  double lat = 0.0;
};

// An open polyline or a closed ring (first point repeated at the end) in degrees.
using GeoLine = std::vector<GeoPoint>;

// An axis-parallel window in degrees: the part of the globe a picture needs.
struct GeoWindow {
  double west = 0.0;
  double south = 0.0;
  double east = 0.0;
  double north = 0.0;
};

}  // namespace hw::mapgen
