#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "platform/colorref.h"
#include "platform/map_picture.h"
#include "platform/surface.h"
#include "platform/text_renderer.h"

namespace hw {

inline constexpr int kPageWidth = 1920;
inline constexpr int kPageHeight = 1080;

// The 42 surfaces of the main window, in order of creation.
enum SurfaceIndex : int {
  CanvasSurface = 0,
  TableSurface,
  TickerSurface,
  BlendSurface,
  MaxIntensitySurface,
  MidIntensitySurface,
  EventTimeWakuSurface,
  EventTimeMojiSurface,
  MagnitudeWakuSurface,
  MagnitudeMojiSurface,
  ShingenSurface,
  Tsunami1WakuSurface,
  Tsunami2WakuSurface,
  Tsunami3WakuSurface,
  Tsunami4WakuSurface,
  Tsunami5WakuSurface,
  Tsunami1MojiSurface,
  Tsunami2MojiSurface,
  Tsunami3MojiSurface,
  Tsunami4MojiSurface,
  Tsunami5MojiSurface,
  MinIntensitySurface,
  BarIntensitySurface,
  HistIntensitySurface,
  CityTableSurface,
  InfoShingenWakuSurface,
  InfoShingenMojiSurface,
  InfoDepthWakuSurface,
  InfoDepthMojiSurface,
  InfoCommentWakuSurface,
  InfoCommentMojiSurface,
  User1WakuSurface,
  User1MojiSurface,
  User2WakuSurface,
  User2MojiSurface,
  User3WakuSurface,
  User3MojiSurface,
  User4WakuSurface,
  User4MojiSurface,
  JpMap1Surface,
  JpMap2Surface,
  WorldMapSurface,
  kSurfaceCount,
};

// The canvas pages; page k starts at x = 1920·k.
enum CanvasPage : int {
  AreaPage = 0,
  AreaPageNoEpicentre = 1,
  StationPage = 2,
  StationPageNoEpicentre = 3,
  DisplayPage = 4,
};
constexpr int PageX(int page) {
  return page * kPageWidth;
}

// A surface with the drawing state the renderers rely on: its text colour, transparent text
// background and the font last selected into it.
struct LayerSurface {
  Surface surface;
  // The map slots hold their picture as a map picture, decoded by region when drawn.
  std::unique_ptr<MapPicture> map;
  COLORREF textColor = 0;
  bool transparentText = false;
  FontId font = kNoFont;
};

class LayerSurfaces {
 public:
  // The canvas holds the five pages that are drawn (area, area without epicentre, station,
  // station without epicentre, display); the two further pages of its 13440-pixel layout are
  // never drawn, so they are not allocated and draws reaching them are clipped.
  static constexpr int kCanvasPages = 5;

  LayerSurface& operator[](SurfaceIndex index) { return surfaces_[Slot(index)]; }
  const LayerSurface& operator[](SurfaceIndex index) const { return surfaces_[Slot(index)]; }

  // Creates surfaces 0-3 (canvas, table pages, ticker strip, blend pages); 0-2 get white text
  // on a transparent background.
  void CreateWorkingSurfaces();
  // Frees every surface's pixels.
  void ReleaseAll();

 private:
  static std::size_t Slot(SurfaceIndex index) { return static_cast<std::size_t>(index); }
  std::array<LayerSurface, kSurfaceCount> surfaces_{};
};

}  // namespace hw
