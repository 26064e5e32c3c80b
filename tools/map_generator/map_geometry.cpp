#include "map_geometry.h"

#include "refdata/japan_map_projection.h"

namespace hw::mapgen {

QPointF JapanPicturePoint(const GeoPoint& point) {
  const MapPoint grid = JapanMapProjection(point.lat, point.lon);
  return {kPixelsPerGridUnit * grid.x + kJapanOriginX + 0.5,
          kPixelsPerGridUnit * grid.y + kJapanOriginY + 0.5};
}

QPointF WorldPicturePoint(const GeoPoint& point) {
  return {(point.lon + 360.0) * kWorldPixelsPerDegree,
          kWorldTop + (90.0 - point.lat) * kWorldPixelsPerDegree};
}

}  // namespace hw::mapgen
