#pragma once

#include <QPointF>

#include "geo_line.h"

namespace hw::mapgen {

// Where things lie on the default theme's map pictures. The program reads positions off these
// pictures with fixed formulas, so the numbers here are not a matter of taste.

// The maps of Japan: picture pixel = 3 × grid unit + (602, 598), grid units being what
// JapanMapProjection gives (MapGrid holds the same projection at whole degrees).
inline constexpr int kJapanOriginX = 602;
inline constexpr int kJapanOriginY = 598;
inline constexpr int kPixelsPerGridUnit = 3;

// The origin fixes how far the picture reaches west and north of the grid (x −30 → pixel 512,
// y 14 → pixel 640); the size decides how far it reaches east and south. The grid's far
// corner is pixel (10355, 8137). Level-10 views (9216 × 5184 pixels at MapXaxisPercent 100)
// of widely felt earthquakes reach furthest east: their centres lie in the middle of the felt
// area, and those up to grid x 2103 (about 144°E) end inside a picture 11520 pixels wide, the
// width of a level-10 view at MapXaxisPercent 125. Vertically such views stay within the
// grid's rows; the south margin matches the north one for closer views of an epicentre held on
// the grid's southern edge. Beyond the picture the program's stretch shows black.
inline constexpr int kJapanWidth = 11520;
inline constexpr int kJapanHeight = 8778;

// The part of the globe that covers the Japan picture with room to spare: the generator
// checks that the window's edge projects outside the picture, since clipped land runs along it.
inline constexpr GeoWindow kJapanWindow{100.0, 5.0, 185.0, 60.0};

// The world map: equirectangular, 10.314 pixels per degree both ways, x = (longitude + 360) ×
// 10.314 and y = 192 + (90 − latitude) × 10.314. Longitudes repeat, so the picture holds two
// turns of the globe (0°E at both edges) and every epicentre has 1650 pixels of map on either
// side, as its 3300-pixel source rectangle needs. The rows above y = 192 lie beyond the pole
// and are open sea.
inline constexpr double kWorldPixelsPerDegree = 10.314;
inline constexpr double kWorldTop = 192.0;
inline constexpr int kWorldWidth = 7427;   // 720° × 10.314 = 7426.1
inline constexpr int kWorldHeight = 2049;  // 192 + 180° × 10.314 = 2048.5
inline constexpr GeoWindow kWorldWindow{-360.0, -90.0, 360.0, 90.0};

// Painter coordinates of a place on a Japan picture: the centre of the pixel that the program
// puts a marker on (picture pixel 3 × grid + origin).
QPointF JapanPicturePoint(const GeoPoint& point);

// Painter coordinates of a place on the world picture: inside the pixel trunc(x), trunc(y).
QPointF WorldPicturePoint(const GeoPoint& point);

}  // namespace hw::mapgen
