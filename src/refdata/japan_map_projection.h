#pragma once

namespace hw {

// A position on the base map of Japan in grid units (one unit is three picture pixels),
// before rounding.
struct MapPoint {
  double x = 0.0;
  double y = 0.0;
};

// The projection of the base map of Japan: a Lambert conformal conic on a sphere with one
// standard parallel at 35°N and the central meridian 135°E, its x axis stretched to the map
// pictures' aspect, plus three small corrections that the calibration nodes show (south of
// about 24.8°N, at the ends of the 49°N parallel and east of 150°E). MapGrid was generated from
// it (tools/mapgrid/), so the grid and any picture drawn with it agree.
//
// Defined for every latitude and longitude. Outside the calibrated rectangle 18–49°N,
// 120–154°E the corrections are held at their values on its border, so the map keeps the
// smooth conic shape there (coasts beyond the grid, land beyond the pictures' edges) instead
// of following quadratic terms fitted only inside it. Latitudes are held within −89.999..90°
// (the south pole lies at infinity on this cone). NaN gives NaN.
MapPoint JapanMapProjection(double latitude, double longitude);

}  // namespace hw
