#pragma once

// The source rectangles a composition stretches from the default theme's maps onto a
// 1920 × 1080 page, shared by the map benchmark and the map region check.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "refdata/japan_map_projection.h"

namespace hw::bench {

constexpr int kPageWidth = 1920;
constexpr int kPageHeight = 1080;

struct SourceRect {
  int sx, sy, sw, sh;
};

// The view's size at zoom level 1..10 (100 %); a view p % wide is p·W/100 × H.
constexpr int kLevelSize[11][2] = {{0, 0},       {960, 540},   {1536, 864},  {1920, 1080},
                                   {2562, 1440}, {3072, 1728}, {3840, 2160}, {4608, 2592},
                                   {5760, 3240}, {7680, 4320}, {9216, 5184}};

// A view of the Japan map at `level` and `percent`, centred on Tokyo (picture pixel =
// 3 × grid unit + (602, 598)).
inline SourceRect TokyoView(int level, int percent) {
  const MapPoint tokyo = JapanMapProjection(35.68, 139.77);
  const int cx = static_cast<int>(std::lround(3 * tokyo.x + 602));
  const int cy = static_cast<int>(std::lround(3 * tokyo.y + 598));
  const int sw = percent * kLevelSize[level][0] / 100;
  const int sh = kLevelSize[level][1];
  return {cx - sw / 2, cy - sh / 2, sw, sh};
}

// The world map's view of a longitude: 3300 × 1856 at trunc((lon + 360)·10.314) − 1650.
inline SourceRect WorldView(double longitude, int sy) {
  return {static_cast<int>((longitude + 360) * 10.314) - 1650, sy, 3300, 1856};
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string MapPath(const char* name) {
  return std::string(HW_BENCH_RUNTIME_DIR) + "/Theme/Theme_REV/Map/" + name;
}

}  // namespace hw::bench
