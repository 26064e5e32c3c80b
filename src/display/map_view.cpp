#include "display/map_view.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "display/layer_surfaces.h"
#include "display/truncate.h"
#include "platform/map_picture.h"
#include "platform/surface.h"

namespace hw {
namespace {

constexpr int kLevels = 10;
constexpr int kAreaMargin = 10;

// A level's limits on the view box: the level is that of the first row whose limit is greater
// than the box's width (a wide box) or height (a tall one).
struct LevelLimit {
  int wide;
  int tall;
};
constexpr std::array<LevelLimit, kLevels - 1> kLevelLimits = {{
    {235, 139},
    {376, 226},
    {470, 286},
    {627, 388},
    {753, 473},
    {941, 600},
    {1129, 731},
    {1411, 927},
    {1882, 1254},
}};

// Per level: panel offsets are converted to grid units as −n·offset / d; the source rectangle
// has width W (at 100 %) and height H in picture pixels, centred K/2 grid units left of and Q
// above the view's centre; and grid units become panel pixels as ((dx·a) / b) / p and
// (dy·c) / e.
struct LevelGeometry {
  int n, d;
  int K, W, H, Q;
  int a, b, c, e;
};
constexpr std::array<LevelGeometry, kLevels> kLevelGeometry = {{
    {4, 24, 320, 960, 540, 90, 2400, 4, 24, 4},
    {4, 15, 512, 1536, 864, 144, 1500, 4, 15, 4},
    {4, 12, 640, 1920, 1080, 180, 1200, 4, 12, 4},
    {4, 9, 854, 2562, 1440, 240, 900, 4, 9, 4},
    {8, 15, 1024, 3072, 1728, 288, 1500, 8, 15, 8},
    {4, 6, 1280, 3840, 2160, 360, 600, 4, 6, 4},
    {4, 5, 1536, 4608, 2592, 432, 500, 4, 5, 4},
    {4, 4, 1920, 5760, 3240, 540, 400, 4, 1, 1},
    {4, 3, 2560, 7680, 4320, 720, 300, 4, 3, 4},
    {8, 5, 3072, 9216, 5184, 864, 500, 8, 5, 8},
}};

const LevelGeometry& GeometryOf(int level) {
  return kLevelGeometry[static_cast<std::size_t>(std::clamp(level, 1, kLevels) - 1)];
}

// The view box in grid units; empty until something widens it.
struct ViewBox {
  int minX = 10000;
  int maxX = -1;
  int minY = 10000;
  int maxY = -1;

  void Add(GridPosition p, int marginX, int marginY) {
    minX = std::min(minX, p.gx - marginX);
    maxX = std::max(maxX, p.gx + marginX);
    minY = std::min(minY, p.gy - marginY);
    maxY = std::max(maxY, p.gy + marginY);
  }
};

int LevelOf(int width, int height) {
  const bool wide = 3 * width >= 4 * height;
  for (std::size_t row = 0; row < kLevelLimits.size(); ++row) {
    const int limit = wide ? kLevelLimits[row].wide : kLevelLimits[row].tall;
    if ((wide ? width : height) < limit) return static_cast<int>(row) + 1;
  }
  return kLevels;
}

// The level after the theme's offset and cap; a negative cap is stored as 0 (no cap).
int ThemedLevel(int level, ThemeLayout& theme) {
  level = static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{level} + theme.MapScaleOffset, 1, kLevels));
  if (theme.MapScaleMax < 0) theme.MapScaleMax = 0;
  if (theme.MapScaleMax > 0 && level > theme.MapScaleMax) level = theme.MapScaleMax;
  return std::min(level, kLevels);
}

MapPictureId PictureFor(int issueType) {
  switch (issueType) {
    case ScalePrompt:
    case Destination:
      return MapPictureId::kJpMap1;
    case ScaleAndDestination:
    case DetailScale:
    case Other:
      return MapPictureId::kJpMap2;
    case Foreign:
      return MapPictureId::kWorldMap;
    default:
      return MapPictureId::kNone;
  }
}

bool HasEpicentre(int issueType, bool rememberedEpicentre) {
  switch (issueType) {
    case Destination:
    case ScaleAndDestination:
    case DetailScale:
    case Foreign:
      return true;
    case ScalePrompt:
      return rememberedEpicentre;
    default:
      return false;
  }
}

}  // namespace

MapView ComputeMapView(const LatestReport& report, MapViewInputs in,
                       std::optional<GridPosition>& epicentreGrid, int minimumLevel) {
  const int type = report.issueType;
  ViewBox box;
  if (in.wholeJapan) {
    for (const AreaEntry& area : in.areas.entries) {
      if (area.latitude == 0.0) continue;
      box.Add(ProjectToGrid(in.grid, area.latitude, area.longitude), kAreaMargin, kAreaMargin);
    }
  } else if (type == ScalePrompt) {
    // The areas named by the points, each marked with its point's scale (a later point of the
    // same name wins).
    const int count = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
    for (int i = 0; i < count; ++i) {
      const ObservationPoint& point = report.points[static_cast<std::size_t>(i)];
      for (AreaEntry& area : in.areas.entries) {
        if (area.name != point.addr.View()) continue;
        area.observedScale = point.scale;
        box.Add(ProjectToGrid(in.grid, area.latitude, area.longitude), kAreaMargin, kAreaMargin);
      }
    }
  } else if (type == Destination || type == ScaleAndDestination || type == DetailScale) {
    for (const AreaEntry& area : in.areas.entries) {
      if (area.observedScale < 10 || area.latitude == 0.0) continue;
      box.Add(ProjectToGrid(in.grid, area.latitude, area.longitude), kAreaMargin, kAreaMargin);
    }
  }
  if (HasEpicentre(type, in.rememberedEpicentre)) {
    epicentreGrid = ProjectToGrid(in.grid, report.latitude, report.longitude);
    box.Add(*epicentreGrid, (in.theme.waku.ShingenWakuWidth / 2) / 3,
            (in.theme.waku.ShingenWakuHeight / 2) / 3);
  }
  const int w = box.maxX - box.minX;
  const int h = box.maxY - box.minY;
  int cx = box.minX + w / 2;
  int cy = box.minY + h / 2;

  MapView view;
  view.level = in.wholeJapan ? kLevels
                             : std::max(ThemedLevel(LevelOf(w, h), in.theme),
                                        std::clamp(minimumLevel, 1, kLevels));
  ThemeLayout& theme = in.theme;
  theme.MapXaxisOffset = std::clamp(theme.MapXaxisOffset, -300, 300);
  theme.MapYaxisOffset = std::clamp(theme.MapYaxisOffset, -300, 300);

  const LevelGeometry& g = GeometryOf(view.level);
  if (in.wholeJapan || type == ScalePrompt || type == Destination || type == ScaleAndDestination ||
      type == DetailScale || type == Other) {
    cx += (-g.n * theme.MapXaxisOffset) / g.d;
    cy += (-g.n * theme.MapYaxisOffset) / g.d;
  }

  view.picture = in.wholeJapan ? MapPictureId::kJpMap1 : PictureFor(type);
  if (view.picture == MapPictureId::kJpMap1 || view.picture == MapPictureId::kJpMap2) {
    const int p = theme.MapXaxisPercent;
    view.japanOrigin = true;
    view.originX = cx - (p * g.K / 100) / 2;
    view.originY = cy - g.Q;
    // The widest view reaches past the picture's west edge; the waiting picture moves east
    // rather than show a black band there.
    if (in.wholeJapan) view.originX = std::max(view.originX, (2 - 601) / 3);
    view.source = {3 * view.originX + (view.level <= 2 ? 602 : 601), 3 * view.originY + 598,
                   p * g.W / 100, g.H};
  } else if (view.picture == MapPictureId::kWorldMap) {
    // Two turns of the globe side by side, so the epicentre always lies at panel x 960.
    const int x = TruncateToInt((report.longitude + 360) * 10.314);
    view.source = {x > std::numeric_limits<int>::min() + 1650 ? x - 1650 : x,
                   report.latitude >= -40.0 ? 0 : 192, 3300, 1856};
  }
  return view;
}

PanelPosition GridToPanel(const MapView& view, int mapXaxisPercent, GridPosition grid) {
  const LevelGeometry& g = GeometryOf(view.level);
  const std::int64_t dx = std::int64_t{grid.gx} - view.originX;
  const std::int64_t dy = std::int64_t{grid.gy} - view.originY;
  const std::int64_t p = mapXaxisPercent != 0 ? mapXaxisPercent : 100;
  const std::int64_t px = ((dx * g.a) / g.b) / p;
  const std::int64_t py = (dy * g.c) / g.e;
  return {static_cast<int>(std::clamp<std::int64_t>(px, INT32_MIN, INT32_MAX)),
          static_cast<int>(std::clamp<std::int64_t>(py, INT32_MIN, INT32_MAX))};
}

bool DrawMapPicture(const MapView& view, Surface& canvas, int panelX, MapPicture* picture) {
  if (view.picture == MapPictureId::kNone) return false;
  const SourceRect& s = view.source;
  if (picture == nullptr || !picture->StretchTo(canvas, panelX, 0, kPageWidth, kPageHeight, s.x,
                                                s.y, s.width, s.height)) {
    canvas.FillRect(panelX, 0, kPageWidth, kPageHeight, 0);
    return false;
  }
  return true;
}

}  // namespace hw
