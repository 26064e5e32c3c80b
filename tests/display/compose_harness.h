#pragma once

#include <initializer_list>
#include <memory>
#include <utility>

#include "display/display.h"
#include "fakes/fake_text_renderer.h"
#include "fakes/recording_log.h"
#include "refdata/reference_tables.h"

namespace hw::test {

// The colour of cell c of the harness's marker sheets, and of its epicentre sprite.
COLORREF CellColour(int cell);
inline constexpr COLORREF kEpicentreColour = MakeColorRef(250, 0, 0);
// The colour of the harness's maps of Japan; its world map is dark with a white band three
// pixels wide at `kWorldLine`.
inline constexpr COLORREF kJapanMapColour = MakeColorRef(40, 60, 80);
inline constexpr int kWorldLine = 1856;  // the column of longitude −180 (and 180)

// A composer and painter over small pictures: marker sheets of 64-pixel cells in ten solid
// colours with a blue border, a 74 × 74 epicentre sprite (red with a blue border), uniform
// maps of Japan and a world map with one white band; the built-in area table and grid, and
// whatever stations and places a test adds.
struct ComposeHarness {
  ComposeHarness();

  LatestReport& report() { return reports->latest; }
  // The settings of the next composition, as the test set them.
  PictureSettings Settings() const {
    return {EpiFront, EpiBlink, ShindoMap,      SpeedDraw, Aspect,
            Debug,    Overlay,  OverlayMarkers, KeyColour};
  }
  // Adds a station or an AreaInfo place at the end of its table.
  void AddStation(std::u16string_view name, double latitude, double longitude);
  void AddPlace(std::u16string_view name, int areaIndex);
  // Composes the current report (sorted as the loop sorts it) and keeps its log lines.
  void Compose();
  // A sprite of one colour (no key pixels).
  void SolidSprite(SurfaceIndex sprite, int width, int height, COLORREF colour);
  // A sheet of `cells` cells of `width` × `height`, side by side or stacked, cell k in
  // SheetColour(k).
  void SheetSprite(SurfaceIndex sprite, int width, int height, int cells, bool stacked);
  static COLORREF SheetColour(int cell) {
    return MakeColorRef(10 + cell * 20, 7 * cell, 250 - cell);
  }
  // Sets the report's points, in this order (no sorting).
  void SetPoints(std::initializer_list<std::pair<std::u16string_view, int>> points,
                 std::u16string_view pref = u"北海道");
  const Surface& canvas() const { return surfaces[CanvasSurface].surface; }
  COLORREF PagePixel(int page, int x, int y) const { return canvas().GetPixel(PageX(page) + x, y); }

  FakeTextRenderer text;
  RecordingLog log;
  struct Window final : RepaintTarget {
    void InvalidateRect() override { ++invalidations; }
    int invalidations = 0;
  } window;
  Display display{{text, log, window}};
  // The display's parts, under the names the tests use.
  ReportStore* reports = &display.shownForTest();
  ThemeLayout& theme = display.theme();
  ReferenceTables* reference = &display.reference();
  LayerSurfaces& surfaces = display.surfaces();
  const FontTable& fonts = display.fonts();
  int EpiFront = 0, EpiBlink = 0, ShindoMap = 0, SpeedDraw = 4, Aspect = 0, Debug = 0;
  int Overlay = 0, OverlayMarkers = 0;
  COLORREF KeyColour = MakeColorRef(0, 255, 0);
  const MapLayer& layer() const { return display.mapLayer(); }
};

}  // namespace hw::test
