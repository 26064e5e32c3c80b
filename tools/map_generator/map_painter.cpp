#include "map_painter.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "geo_clip.h"

namespace hw::mapgen {
namespace {

void AddLine(QPainterPath& path, const GeoLine& line, Projection projection, bool closed) {
  if (line.size() < 2) return;
  path.moveTo(projection(line.front()));
  for (std::size_t i = 1; i < line.size(); ++i)
    path.lineTo(projection(line[i]));
  if (closed) path.closeSubpath();
}

QPainterPath LinesPath(const std::vector<GeoLine>& lines, const GeoWindow& window, double maxStep,
                       Projection projection) {
  QPainterPath path;
  for (const GeoLine& line : lines)
    for (const GeoLine& piece : LineInWindow(line, window, maxStep))
      AddLine(path, piece, projection, false);
  return path;
}

QPainterPath Graticule(const GeoWindow& window, double step, double maxStep,
                       Projection projection) {
  QPainterPath path;
  for (double lat = std::ceil(window.south / step) * step; lat <= window.north; lat += step)
    AddLine(path, Densified({{window.west, lat}, {window.east, lat}}, maxStep), projection, false);
  for (double lon = std::ceil(window.west / step) * step; lon <= window.east; lon += step)
    AddLine(path, Densified({{lon, window.south}, {lon, window.north}}, maxStep), projection,
            false);
  return path;
}

void Stroke(QPainter& painter, const QPainterPath& path, const style::LineStyle& line) {
  QPen pen(QColor::fromRgb(line.colour), line.width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.strokePath(path, pen);
}

}  // namespace

MapPaths ProjectLayers(const MapLayers& layers, const GeoWindow& window, double maxStep,
                       double graticuleStep, Projection projection) {
  MapPaths paths;
  // Holes (lakes of the data, such as the Caspian Sea) are rings inside rings: odd-even
  // filling leaves them open whatever way round the data draws them.
  paths.land.setFillRule(Qt::OddEvenFill);
  for (const GeoLine& ring : layers.landRings)
    for (const GeoLine& piece : RingInWindow(ring, window, maxStep))
      AddLine(paths.land, piece, projection, true);
  paths.coast = LinesPath(layers.coastlines, window, maxStep, projection);
  paths.countryBorders = LinesPath(layers.countryBorders, window, maxStep, projection);
  paths.prefectureBorders = LinesPath(layers.prefectureBorders, window, maxStep, projection);
  paths.graticule = Graticule(window, graticuleStep, maxStep, projection);
  return paths;
}

QImage PaintMap(const MapPaths& paths, QSize size, const MapLook& look) {
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(QColor::fromRgb(style::kSea));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  Stroke(painter, paths.graticule, look.graticule);
  painter.fillPath(paths.land, QColor::fromRgb(style::kLand));
  if (look.prefectureBorder) Stroke(painter, paths.prefectureBorders, *look.prefectureBorder);
  Stroke(painter, paths.countryBorders, look.countryBorder);
  Stroke(painter, paths.coast, look.coast);
  painter.end();
  return image;
}

}  // namespace hw::mapgen
