#include "refdata/japan_map_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hw {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Least-squares fit to the 51 calibration nodes (the 135°E column, the four corners and
// the crossings of 30/35/40°N with 120, 130, 139, 142 and 154°E): largest error 1.29 units,
// RMS 0.32. With φ the latitude and Δλ the longitude minus 135°:
//   conic:  rho = C · tan(45° − φ/2)^n, θ = n · Δλ, x = 1416 + r · rho · sin θ,
//           y = yA + rho · cos θ, n = sin 35° (one standard parallel at 35°N);
//   south:  y −= a · (ps − φ)² south of ps;
//   north:  y += g · ((φ − 40) / 10)² · (Δλ / 15)² north of 40°N (the 49°N row's ends);
//   east:   with E = Δλ − 15 > 0 and q = (φ − 35) / 10, y += E² · (c0 + c1·q + c2·q²) and
//           x += E² · (d0 + d1·q + d2·q²) (the grid bends outwards beyond 150°E).
constexpr double kCentralX = 1416.0;
constexpr double kCone = 0.573576436351046;         // sin 35°
constexpr double kConeScale = 9152.686881739104;    // C
constexpr double kApexY = -5100.017552258187;       // yA
constexpr double kStretchX = 1.2673143711207884;    // r
constexpr double kSouthPull = 0.16239514544588118;  // a
constexpr double kSouthStart = 24.755135512424793;  // ps
constexpr double kNorthEnds = 3.778986155865823;    // g
constexpr double kEastY[] = {0.2778651266039416, -0.36597460536659115, 0.02880883509555343};  // c
constexpr double kEastX[] = {0.25344638597725844, -0.22866434243526426,
                             -0.018326507779259246};  // d

double Quadratic(const double (&c)[3], double q) {
  return c[0] + c[1] * q + c[2] * q * q;
}

}  // namespace

MapPoint JapanMapProjection(double latitude, double longitude) {
  const double phi = std::clamp(latitude, -89.999, 90.0);
  const double delta = longitude - 135.0;
  const double rho =
      kConeScale * std::pow(std::tan(std::numbers::pi / 4 - phi * kDegree / 2), kCone);
  const double theta = kCone * delta * kDegree;
  MapPoint point{kCentralX + kStretchX * rho * std::sin(theta), kApexY + rho * std::cos(theta)};

  // The corrections only know the calibrated rectangle; beyond it they keep their border value.
  const double cphi = std::clamp(phi, 18.0, 49.0);
  const double cdelta = std::clamp(delta, -15.0, 19.0);
  const double south = std::max(0.0, kSouthStart - cphi);
  const double north = std::max(0.0, cphi - 40.0) / 10.0;
  const double east = std::max(0.0, cdelta - 15.0);
  const double q = (cphi - 35.0) / 10.0;
  point.y += -kSouthPull * south * south +
             kNorthEnds * north * north * (cdelta / 15.0) * (cdelta / 15.0) +
             east * east * Quadratic(kEastY, q);
  point.x += east * east * Quadratic(kEastX, q);
  return point;
}

}  // namespace hw
