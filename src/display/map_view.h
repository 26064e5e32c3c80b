#pragma once

#include <optional>

#include "acquisition/report_model.h"
#include "refdata/area_table.h"
#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"
#include "settings/theme_layout.h"

namespace hw {

class MapPicture;
class Surface;

// The map pictures of a theme, in the order of their surfaces.
enum class MapPictureId { kNone, kJpMap1, kJpMap2, kWorldMap };

// A rectangle of a map picture: origin and size in picture pixels.
struct SourceRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  constexpr bool operator==(const SourceRect&) const = default;
};

// The view of one composition: zoom level (1 closest … 10), the grid position at the panel's
// top-left corner (Japan maps only), the picture and the rectangle cut out of it.
struct MapView {
  int level = 1;
  bool japanOrigin = false;  // whether originX/originY were computed
  int originX = 0;
  int originY = 0;
  MapPictureId picture = MapPictureId::kNone;
  SourceRect source;
};

// What the view computation reads besides the report: the area table (a prompt report's
// points also set their areas' observedScale here), the grid, the theme (three values are
// limited and written back) and whether a remembered epicentre exists for a prompt report.
struct MapViewInputs {
  AreaTable& areas;
  const MapGrid& grid;
  ThemeLayout& theme;
  bool rememberedEpicentre = false;
  // The picture before any report: the prompt map at its widest view over every area.
  bool wholeJapan = false;
};

// The view of a composition for `report`. Projects the report's epicentre when the report
// type has one (types 2–5, and a prompt report with a remembered epicentre) and stores it in
// `epicentreGrid`, which otherwise keeps its value. The zoom level is at least
// `minimumLevel` (1: any level; the theme's cap does not lower it).
MapView ComputeMapView(const LatestReport& report, MapViewInputs inputs,
                       std::optional<GridPosition>& epicentreGrid, int minimumLevel = 1);

// Pixel position on the 1920 × 1080 map panel of a grid position, for a Japan map view.
struct PanelPosition {
  int x = 0;
  int y = 0;
};
PanelPosition GridToPanel(const MapView& view, int mapXaxisPercent, GridPosition grid);

// Stretches the view's source rectangle of its picture onto the whole panel at `panelX` of
// `canvas` (HALFTONE). Nothing happens without a picture; a map that is missing or cannot be
// decoded leaves the panel black rather than showing the previous report's map. True when the
// panel shows the picture.
bool DrawMapPicture(const MapView& view, Surface& canvas, int panelX, MapPicture* picture);

}  // namespace hw
