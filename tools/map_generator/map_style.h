#pragma once

#include <QRgb>

// The look of the default theme's maps in one place: change a colour here and regenerate.
// The maps are a quiet ground for the intensity badges (grey, blue, green, yellow, orange, red,
// purple) and the red epicentre mark: a deep navy sea, a dark grey-green land that none of the
// badge colours is close to, and thin light lines.
namespace hw::mapgen::style {

inline constexpr QRgb kSea = qRgb(0x0d, 0x1e, 0x36);
inline constexpr QRgb kLand = qRgb(0x3a, 0x48, 0x42);

struct LineStyle {
  QRgb colour;
  double width;  // picture pixels
};

// Lines of the maps of Japan. One picture pixel is two screen pixels in the closest view and
// a fifth of one in the widest, so lines are thin enough for the first and still show in the
// second (the stretch averages them into a fainter line).
inline constexpr LineStyle kJapanGraticule{qRgb(0x15, 0x2a, 0x48), 1.2};
inline constexpr LineStyle kJapanCoast{qRgb(0xc4, 0xd0, 0xda), 1.5};
inline constexpr LineStyle kJapanCountryBorder{qRgb(0xa8, 0xb4, 0xae), 1.6};
inline constexpr LineStyle kJapanPrefectureBorder{qRgb(0x7d, 0x8c, 0x85), 1.1};

// Lines of the world map, which is always shrunk (3300 pixels onto 1920).
inline constexpr LineStyle kWorldGraticule{qRgb(0x17, 0x2e, 0x4e), 1.0};
inline constexpr LineStyle kWorldCoast{qRgb(0xc4, 0xd0, 0xda), 1.1};
inline constexpr LineStyle kWorldCountryBorder{qRgb(0x8d, 0x9a, 0x94), 0.9};

// Degrees between the lines of latitude and longitude.
inline constexpr double kJapanGraticuleStep = 5.0;
inline constexpr double kWorldGraticuleStep = 30.0;

// JPEG quality of the written maps: at 90 the thin lines keep no visible ringing when the
// closest view doubles them.
inline constexpr int kJpegQuality = 90;

}  // namespace hw::mapgen::style
