#pragma once

#include <vector>

#include "geo_line.h"

namespace hw::mapgen {

// Map data gives longitudes in −180..180, so a coast that crosses the 180th meridian jumps by
// 360°. These functions turn rings and lines into the pieces that lie in a window of the
// globe, continuous across that meridian and repeated every 360° where the window is wider,
// with no step longer than `maxStep` degrees, so that a projection that bends lines can be
// applied point by point.

// The parts of a ring inside the window, as closed rings. A ring that winds once round a pole
// (Antarctica's coast) is closed along that pole first, so that its inside is the land.
// Where a ring leaves the window its piece runs along the window's edge; a window a little
// larger than the picture keeps those edges out of sight.
std::vector<GeoLine> RingInWindow(const GeoLine& ring, const GeoWindow& window, double maxStep);

// The parts of a line inside the window.
std::vector<GeoLine> LineInWindow(const GeoLine& line, const GeoWindow& window, double maxStep);

// The same line with points inserted so that no step is longer than `maxStep` degrees in
// either direction.
GeoLine Densified(const GeoLine& line, double maxStep);

}  // namespace hw::mapgen
