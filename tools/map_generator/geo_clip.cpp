#include "geo_clip.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace hw::mapgen {
namespace {

// Each step is taken the short way round, so the line may run past ±180°.
GeoLine Unwrapped(const GeoLine& line) {
  GeoLine result;
  result.reserve(line.size());
  for (const GeoPoint& point : line) {
    if (result.empty()) {
      result.push_back(point);
      continue;
    }
    const double previous = result.back().lon;
    const double turns = std::round((point.lon - previous) / 360.0);
    result.push_back({point.lon - 360.0 * turns, point.lat});
  }
  return result;
}

// A ring round a pole ends 360° east or west of where it began; the land lies between it and
// the pole. Rings that hug the pole itself (a data set's closing seam at 90°S) enclose nothing.
GeoLine ClosedAroundPole(GeoLine ring) {
  if (ring.size() < 2 || std::abs(ring.back().lon - ring.front().lon) < 180.0) return ring;
  double latitudeSum = 0.0;
  bool allAtPole = true;
  for (const GeoPoint& point : ring) {
    latitudeSum += point.lat;
    allAtPole = allAtPole && std::abs(point.lat) > 89.9;
  }
  if (allAtPole) return {};
  const double pole = latitudeSum < 0.0 ? -90.0 : 90.0;
  const GeoPoint first = ring.front();
  const GeoPoint last = ring.back();
  ring.push_back({last.lon, pole});
  ring.push_back({first.lon, pole});
  ring.push_back(first);
  return ring;
}

// The multiples of 360° by which a line spanning west..east must be moved to meet the window.
std::vector<double> Shifts(const GeoLine& line, const GeoWindow& window) {
  double west = line.front().lon;
  double east = west;
  for (const GeoPoint& point : line) {
    west = std::min(west, point.lon);
    east = std::max(east, point.lon);
  }
  std::vector<double> shifts;
  const int first = static_cast<int>(std::floor((window.west - east) / 360.0));
  const int last = static_cast<int>(std::ceil((window.east - west) / 360.0));
  for (int k = first; k <= last; ++k) {
    const double shift = 360.0 * k;
    if (east + shift >= window.west && west + shift <= window.east) shifts.push_back(shift);
  }
  return shifts;
}

GeoLine Shifted(const GeoLine& line, double shift) {
  GeoLine result = line;
  for (GeoPoint& point : result)
    point.lon += shift;
  return result;
}

// One step of Sutherland–Hodgman: keeps the side of a window edge where `inside` holds. The
// clipped ring may run back and forth along the edge; those strips have no area.
template <typename Inside, typename Cross>
GeoLine ClipAgainstEdge(const GeoLine& ring, Inside inside, Cross cross) {
  GeoLine result;
  if (ring.empty()) return result;
  GeoPoint previous = ring.back();
  bool previousInside = inside(previous);
  for (const GeoPoint& point : ring) {
    const bool pointInside = inside(point);
    if (pointInside != previousInside) result.push_back(cross(previous, point));
    if (pointInside) result.push_back(point);
    previous = point;
    previousInside = pointInside;
  }
  return result;
}

GeoPoint AtLongitude(const GeoPoint& a, const GeoPoint& b, double lon) {
  const double t = (lon - a.lon) / (b.lon - a.lon);
  return {lon, a.lat + t * (b.lat - a.lat)};
}

GeoPoint AtLatitude(const GeoPoint& a, const GeoPoint& b, double lat) {
  const double t = (lat - a.lat) / (b.lat - a.lat);
  return {a.lon + t * (b.lon - a.lon), lat};
}

GeoLine ClipRing(GeoLine ring, const GeoWindow& w) {
  ring = ClipAgainstEdge(
      ring, [&](const GeoPoint& p) { return p.lon >= w.west; },
      [&](const GeoPoint& a, const GeoPoint& b) { return AtLongitude(a, b, w.west); });
  ring = ClipAgainstEdge(
      ring, [&](const GeoPoint& p) { return p.lon <= w.east; },
      [&](const GeoPoint& a, const GeoPoint& b) { return AtLongitude(a, b, w.east); });
  ring = ClipAgainstEdge(
      ring, [&](const GeoPoint& p) { return p.lat >= w.south; },
      [&](const GeoPoint& a, const GeoPoint& b) { return AtLatitude(a, b, w.south); });
  ring = ClipAgainstEdge(
      ring, [&](const GeoPoint& p) { return p.lat <= w.north; },
      [&](const GeoPoint& a, const GeoPoint& b) { return AtLatitude(a, b, w.north); });
  if (ring.size() < 3) return {};
  ring.push_back(ring.front());
  return ring;
}

// Liang–Barsky: the part of the segment a–b inside the window as parameters t0 ≤ t1 of 0..1,
// or false when none is.
bool ClipSegment(const GeoPoint& a, const GeoPoint& b, const GeoWindow& w, double& t0, double& t1) {
  t0 = 0.0;
  t1 = 1.0;
  const double dx = b.lon - a.lon;
  const double dy = b.lat - a.lat;
  const std::pair<double, double> limits[] = {
      {-dx, a.lon - w.west}, {dx, w.east - a.lon}, {-dy, a.lat - w.south}, {dy, w.north - a.lat}};
  for (const auto& [p, q] : limits) {
    if (p == 0.0) {
      if (q < 0.0) return false;
      continue;
    }
    const double t = q / p;
    if (p < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  return true;
}

GeoPoint Between(const GeoPoint& a, const GeoPoint& b, double t) {
  return {a.lon + t * (b.lon - a.lon), a.lat + t * (b.lat - a.lat)};
}

std::vector<GeoLine> ClipLine(const GeoLine& line, const GeoWindow& window) {
  std::vector<GeoLine> pieces;
  GeoLine current;
  for (std::size_t i = 1; i < line.size(); ++i) {
    double t0 = 0.0;
    double t1 = 1.0;
    if (!ClipSegment(line[i - 1], line[i], window, t0, t1)) {
      if (current.size() > 1) pieces.push_back(std::move(current));
      current.clear();
      continue;
    }
    if (current.empty() || t0 > 0.0) {
      if (current.size() > 1) pieces.push_back(std::move(current));
      current = {Between(line[i - 1], line[i], t0)};
    }
    current.push_back(Between(line[i - 1], line[i], t1));
    if (t1 < 1.0) {
      pieces.push_back(std::move(current));
      current.clear();
    }
  }
  if (current.size() > 1) pieces.push_back(std::move(current));
  return pieces;
}

}  // namespace

GeoLine Densified(const GeoLine& line, double maxStep) {
  GeoLine result;
  result.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0) {
      const GeoPoint& a = line[i - 1];
      const GeoPoint& b = line[i];
      const double longest = std::max(std::abs(b.lon - a.lon), std::abs(b.lat - a.lat));
      const int steps = static_cast<int>(std::ceil(longest / maxStep));
      for (int s = 1; s < steps; ++s)
        result.push_back(Between(a, b, static_cast<double>(s) / steps));
    }
    result.push_back(line[i]);
  }
  return result;
}

std::vector<GeoLine> RingInWindow(const GeoLine& ring, const GeoWindow& window, double maxStep) {
  std::vector<GeoLine> pieces;
  if (ring.size() < 4) return pieces;
  const GeoLine closed = ClosedAroundPole(Unwrapped(ring));
  if (closed.empty()) return pieces;
  for (const double shift : Shifts(closed, window)) {
    GeoLine clipped = ClipRing(Shifted(closed, shift), window);
    if (!clipped.empty()) pieces.push_back(Densified(clipped, maxStep));
  }
  return pieces;
}

std::vector<GeoLine> LineInWindow(const GeoLine& line, const GeoWindow& window, double maxStep) {
  std::vector<GeoLine> pieces;
  if (line.size() < 2) return pieces;
  const GeoLine unwrapped = Unwrapped(line);
  for (const double shift : Shifts(unwrapped, window))
    for (GeoLine& piece : ClipLine(Shifted(unwrapped, shift), window))
      pieces.push_back(Densified(piece, maxStep));
  return pieces;
}

}  // namespace hw::mapgen
