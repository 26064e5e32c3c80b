#pragma once

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "geo_line.h"

namespace hw::mapgen {

// One polygon of a TopoJSON geometry: its rings (exterior first, then holes), each a list of
// arc references (a negative reference ~i is arc i walked backwards).
using TopoPolygon = std::vector<std::vector<int>>;

// A geometry of a TopoJSON object: the polygons it is made of (a Polygon has one).
// Geometries of other types are kept empty, so that indices match the file.
struct TopoGeometry {
  std::vector<TopoPolygon> polygons;
};

// A decoded TopoJSON topology: the arcs in degrees (quantisation and delta coding undone) and
// the geometries of one named object.
struct Topology {
  std::vector<GeoLine> arcs;
  std::vector<TopoGeometry> geometries;

  // The ring a list of arc references describes, as one closed line. Consecutive arcs share
  // their end points, which appear once.
  GeoLine Ring(const std::vector<int>& arcRefs) const;

  // Every ring of every polygon of every geometry.
  std::vector<GeoLine> AllRings() const;

  // The arcs that two different geometries share: the borders between neighbours (country
  // borders, prefecture borders), without the coast that each has alone.
  std::vector<GeoLine> SharedArcs() const;
};

// Decodes the object `objectName` of a TopoJSON text. The text may be embedded in a script
// (as a JavaScript bundle embeds it): decoding starts at the first `{"type":"Topology"`.
// Returns nullopt, with a message in `error`, when the text holds no such topology.
std::optional<Topology> DecodeTopology(std::string_view text, const QString& objectName,
                                       QString& error);

}  // namespace hw::mapgen
