#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <optional>

#include "geo_line.h"
#include "map_data.h"
#include "map_style.h"

namespace hw::mapgen {

// Turns a place into painter coordinates of one picture.
using Projection = QPointF (*)(const GeoPoint&);

// The outlines of one picture, projected: built once, painted into each variant.
struct MapPaths {
  QPainterPath land;
  QPainterPath coast;
  QPainterPath countryBorders;
  QPainterPath prefectureBorders;
  QPainterPath graticule;
};

// Projects what lies in `window`, with no step longer than `maxStep` degrees before projecting
// (the projection may bend straight lines of latitude and longitude), and lines of latitude
// and longitude every `graticuleStep` degrees.
MapPaths ProjectLayers(const MapLayers& layers, const GeoWindow& window, double maxStep,
                       double graticuleStep, Projection projection);

// What to paint and how; a layer without a style is left out.
struct MapLook {
  style::LineStyle graticule;
  style::LineStyle coast;
  style::LineStyle countryBorder;
  std::optional<style::LineStyle> prefectureBorder;
};

// Paints sea, graticule, land, borders and coast (in that order, so the coast lies on top)
// into a new opaque picture, antialiased. Returns a null image when the memory cannot be had.
QImage PaintMap(const MapPaths& paths, QSize size, const MapLook& look);

}  // namespace hw::mapgen
