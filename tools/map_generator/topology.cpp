#include "topology.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <map>
#include <set>

namespace hw::mapgen {
namespace {

// The extent of the JSON object that starts at `start`: braces are counted outside strings.
std::string_view JsonObjectAt(std::string_view text, std::size_t start) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return text.substr(start, i - start + 1);
    }
  }
  return {};
}

struct Transform {
  double scaleX = 1.0;
  double scaleY = 1.0;
  double translateX = 0.0;
  double translateY = 0.0;
  bool quantised = false;
};

Transform ReadTransform(const QJsonObject& topology) {
  Transform transform;
  const QJsonValue value = topology.value(QStringLiteral("transform"));
  if (!value.isObject()) return transform;
  const QJsonArray scale = value[QStringLiteral("scale")].toArray();
  const QJsonArray translate = value[QStringLiteral("translate")].toArray();
  transform.scaleX = scale.at(0).toDouble();
  transform.scaleY = scale.at(1).toDouble();
  transform.translateX = translate.at(0).toDouble();
  transform.translateY = translate.at(1).toDouble();
  transform.quantised = true;
  return transform;
}

// Quantised arcs store each position as a whole-number step from the one before.
GeoLine ReadArc(const QJsonArray& positions, const Transform& transform) {
  GeoLine arc;
  arc.reserve(static_cast<std::size_t>(positions.size()));
  double x = 0.0;
  double y = 0.0;
  for (const QJsonValue& position : positions) {
    const QJsonArray xy = position.toArray();
    if (transform.quantised) {
      x += xy.at(0).toDouble();
      y += xy.at(1).toDouble();
      arc.push_back({x * transform.scaleX + transform.translateX,
                     y * transform.scaleY + transform.translateY});
    } else {
      arc.push_back({xy.at(0).toDouble(), xy.at(1).toDouble()});
    }
  }
  return arc;
}

std::vector<int> ReadRing(const QJsonArray& refs) {
  std::vector<int> ring;
  ring.reserve(static_cast<std::size_t>(refs.size()));
  for (const QJsonValue& ref : refs)
    ring.push_back(ref.toInt());
  return ring;
}

TopoPolygon ReadPolygon(const QJsonArray& rings) {
  TopoPolygon polygon;
  for (const QJsonValue& ring : rings)
    polygon.push_back(ReadRing(ring.toArray()));
  return polygon;
}

TopoGeometry ReadGeometry(const QJsonObject& geometry) {
  TopoGeometry result;
  const QString type = geometry.value(QStringLiteral("type")).toString();
  const QJsonArray arcs = geometry.value(QStringLiteral("arcs")).toArray();
  if (type == QStringLiteral("Polygon")) {
    result.polygons.push_back(ReadPolygon(arcs));
  } else if (type == QStringLiteral("MultiPolygon")) {
    for (const QJsonValue& polygon : arcs)
      result.polygons.push_back(ReadPolygon(polygon.toArray()));
  }
  return result;
}

int ArcIndex(int ref) {
  return ref >= 0 ? ref : ~ref;
}

}  // namespace

GeoLine Topology::Ring(const std::vector<int>& arcRefs) const {
  GeoLine ring;
  for (const int ref : arcRefs) {
    const GeoLine& arc = arcs.at(static_cast<std::size_t>(ArcIndex(ref)));
    if (arc.empty()) continue;
    const std::size_t skip = ring.empty() ? 0 : 1;
    if (ref >= 0) {
      ring.insert(ring.end(), arc.begin() + static_cast<std::ptrdiff_t>(skip), arc.end());
    } else {
      ring.insert(ring.end(), arc.rbegin() + static_cast<std::ptrdiff_t>(skip), arc.rend());
    }
  }
  return ring;
}

std::vector<GeoLine> Topology::AllRings() const {
  std::vector<GeoLine> rings;
  for (const TopoGeometry& geometry : geometries)
    for (const TopoPolygon& polygon : geometry.polygons)
      for (const std::vector<int>& ring : polygon)
        rings.push_back(Ring(ring));
  return rings;
}

std::vector<GeoLine> Topology::SharedArcs() const {
  std::map<int, std::set<std::size_t>> owners;
  for (std::size_t g = 0; g < geometries.size(); ++g)
    for (const TopoPolygon& polygon : geometries[g].polygons)
      for (const std::vector<int>& ring : polygon)
        for (const int ref : ring)
          owners[ArcIndex(ref)].insert(g);
  std::vector<GeoLine> shared;
  for (const auto& [arc, geometryIndices] : owners)
    if (geometryIndices.size() > 1) shared.push_back(arcs.at(static_cast<std::size_t>(arc)));
  return shared;
}

std::optional<Topology> DecodeTopology(std::string_view text, const QString& objectName,
                                       QString& error) {
  const std::size_t start = text.find(R"({"type":"Topology")");
  const std::string_view json =
      start == std::string_view::npos ? std::string_view() : JsonObjectAt(text, start);
  if (json.empty()) {
    error = QStringLiteral("no TopoJSON topology found");
    return std::nullopt;
  }
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(json.data(), static_cast<qsizetype>(json.size())), &parseError);
  if (!document.isObject()) {
    error = parseError.errorString();
    return std::nullopt;
  }
  const QJsonObject topology = document.object();
  const QJsonObject object = topology.value(QStringLiteral("objects"))[objectName].toObject();
  if (object.isEmpty()) {
    error = QStringLiteral("the topology has no object \"%1\"").arg(objectName);
    return std::nullopt;
  }

  Topology result;
  const Transform transform = ReadTransform(topology);
  for (const QJsonValue& arc : topology.value(QStringLiteral("arcs")).toArray())
    result.arcs.push_back(ReadArc(arc.toArray(), transform));
  if (object.value(QStringLiteral("type")).toString() == QStringLiteral("GeometryCollection")) {
    for (const QJsonValue& geometry : object.value(QStringLiteral("geometries")).toArray())
      result.geometries.push_back(ReadGeometry(geometry.toObject()));
  } else {
    result.geometries.push_back(ReadGeometry(object));
  }
  const int arcCount = static_cast<int>(result.arcs.size());
  for (const TopoGeometry& geometry : result.geometries)
    for (const TopoPolygon& polygon : geometry.polygons)
      for (const std::vector<int>& ring : polygon)
        for (const int ref : ring)
          if (ArcIndex(ref) >= arcCount) {
            error =
                QStringLiteral("a ring refers to arc %1 of %2").arg(ArcIndex(ref)).arg(arcCount);
            return std::nullopt;
          }
  return result;
}

}  // namespace hw::mapgen
