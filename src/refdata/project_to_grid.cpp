#include "refdata/project_to_grid.h"

namespace hw {
namespace {

// One axis of the interpolation: the whole degree of the cell and the hundredths into it.
struct CellPosition {
  int degree;
  int hundredths;
};

// `first` and `last` are the whole degrees of the grid's first and last node on this axis.
CellPosition Locate(double degrees, int first, int last) {
  // The comparisons come first so that only values inside the grid are converted to integers;
  // "not above the first" also takes NaN.
  if (!(degrees > first)) return {first, 0};
  if (degrees >= last) return {last - 1, 99};
  // Inside the grid trunc(degrees × 100) lies in first·100 .. last·100; a value a hair below
  // `last` can round up to last·100, which would name a cell beyond the grid.
  int hundredths = static_cast<int>(degrees * 100.0);
  if (hundredths > last * 100 - 1) hundredths = last * 100 - 1;
  return {hundredths / 100, hundredths % 100};
}

}  // namespace

GridPosition ProjectToGrid(const MapGrid& grid, double latitude, double longitude) {
  const CellPosition lat = Locate(latitude, MapGrid::kFirstLatitude, MapGrid::kLastLatitude);
  const CellPosition lon = Locate(longitude, MapGrid::kFirstLongitude, MapGrid::kLastLongitude);
  const double fLat = lat.hundredths / 100.0;
  const double fLon = lon.hundredths / 100.0;
  const MapGridNode& a = grid.Node(lat.degree, lon.degree);
  const MapGridNode& b = grid.Node(lat.degree, lon.degree + 1);
  const MapGridNode& c = grid.Node(lat.degree + 1, lon.degree);
  const MapGridNode& d = grid.Node(lat.degree + 1, lon.degree + 1);
  // x: along the longitude first, then the latitude; y: the other way round. The order of the
  // operations is part of the result, since the sums are truncated.
  const double gx = ((d.x - c.x) * fLon + c.x - ((b.x - a.x) * fLon + a.x)) * fLat +
                    (b.x - a.x) * fLon + a.x + 0.5;
  const double gy = ((d.y - b.y) * fLat + b.y - ((c.y - a.y) * fLat + a.y)) * fLon +
                    (c.y - a.y) * fLat + a.y + 0.5;
  return {static_cast<std::int32_t>(gx), static_cast<std::int32_t>(gy)};
}

}  // namespace hw
